#pragma once

#include <windows.h>
#include <oaidl.h>

#include "engine/webui/CComObjectCount.h"

namespace RVGameEngine {
namespace WebUI {

// The sink advised on one browser object's notifications, passing them on
// to the browser's own IDispatch part. Each object the browser makes gets a
// sink of its own, so that an object the browser has let
// go of (and that may notify until its teardown) is told apart from the
// current one: its sink is detached and reports nothing. It lives as long as
// anyone holds it (the connection point may keep it a while after the
// unadvise), never longer.
class CWebBrowserEventSink final : public IDispatch, private CComObjectCount
{
public:
    // The owner is not held: it detaches the sink before it goes.
    explicit CWebBrowserEventSink(IDispatch* owner) : m_owner(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddComReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseComReference(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // The browser let go of this sink's object: from now on nothing reaches it.
    void Detach() { m_owner = nullptr; }

    // For BeforeNavigate2's arguments: when the address begins with the
    // program's own prefix, cancels the navigation and gives the address;
    // otherwise null. Program links never load, whichever object asks.
    static const wchar_t* CancelProgramLink(DISPPARAMS* parameters);
    // The interfaces a sink of the browser's notifications answers.
    static bool IsSinkInterface(REFIID iid);

private:
    ~CWebBrowserEventSink() override = default;

    IDispatch* m_owner;
};

} // namespace WebUI
} // namespace RVGameEngine
