#pragma once

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/webui/CUIHandler.h"
#include "engine/webui/CWBClientSite.h"
#include "engine/webui/IWebBrowser.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include <memory>
#include <vector>

namespace RVGameEngine {
namespace WebUI {

// The hosted browser and, through its IDispatch part, the sink of the
// browser object's notifications. It lives until both its engine count and
// its COM count are gone: COM references other than the connection point's
// own (which the unadvise gives back) hold one engine reference. The browser
// object is let go of (unadvised, stopped, closed) never inside one of its
// notifications: a Destroy asked for meanwhile, or the last outside reference
// dropped by a handler, is carried out from the message loop afterwards.
class RV_API CWebBrowser : public IDispatch, public IWebBrowser
{
public:
    explicit CWebBrowser(HWND parent);
    ~CWebBrowser() override;

    // IUnknown, IDispatch
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IWebBrowser
    bool Create() override;
    void Destroy() override;
    void Show() override;
    void Hide() override;
    int SetRect(int x, int y, int width, int height) override;
    int LoadHTML(const wchar_t* html) override;
    int Navigate(const wchar_t* url) override;
    void Focus() override;
    void SetFocusOnLoad(bool focus) override;
    Common::TIntrusivePointer<DirectUI::IFrame> GetFrame() override;

    // The engine's own count, not the COM one.
    using IWebBrowser::GetReferenceCount;
    ULONG GetComReferenceCount() const { return static_cast<ULONG>(m_comReferences); }
    bool IsAdvised() const { return m_object && m_object->connectionPoint; }
    // A browser object let go of inside a notification and not yet torn down.
    bool IsTeardownPending() const { return !m_retired.empty(); }

private:
    // The browser object and what was taken from it, let go of together.
    struct tagBrowserObject
    {
        Common::TComPointer<IOleObject> oleObject;
        Common::TComPointer<IWebBrowser2> webBrowser;
        Common::TComPointer<IConnectionPoint> connectionPoint;
        Common::TComPointer<IHTMLDocument2> document;
        DWORD adviseCookie = 0;
        // The connection point's references to the sink, taken in the Advise.
        LONG sinkReferences = 0;
    };

    HRESULT Dispatch(DISPID id, DISPPARAMS* parameters);
    HRESULT OnBeforeNavigate(DISPPARAMS* parameters);
    HRESULT OnDocumentComplete();
    bool ConnectEvents();
    void StyleLoadedBody(bool focus);
    IWebBrowser2* GetWebBrowser2() const { return m_object ? m_object->webBrowser.Get() : nullptr; }
    IHTMLDocument2* GetDocument() const { return m_object ? m_object->document.Get() : nullptr; }
    void TearDown(tagBrowserObject& object);
    void UpdateComHold();
    void AfterFiring(bool heldOutside);
    void ScheduleTeardown();
    void TearDownRetired();
    void OnFrameMessage(void* sender, Common::tagEventArgs* args);
    void OnFrameDestroyed(void* sender, Common::tagEventArgs* args);

    Common::TIntrusivePointer<DirectUI::IFrame> m_frame;
    std::unique_ptr<CUIHandler> m_uiHandler;
    std::unique_ptr<CWBClientSite> m_clientSite;
    std::unique_ptr<tagBrowserObject> m_object;
    // Let go of inside a notification; torn down from the message loop.
    std::vector<std::unique_ptr<tagBrowserObject>> m_retired;
    volatile LONG m_comReferences = 0;
    // Of the COM count, the connection point's own references to the sink.
    LONG m_connectionReferences = 0;
    // The engine reference that other COM holders of the sink stand for.
    bool m_comHoldsReference = false;
    // Notifications being delivered, nested ones included.
    int m_firingDepth = 0;
    // Keeps the browser until the retired objects are torn down.
    Common::TIntrusivePointer<IWebBrowser> m_teardownHold;
    bool m_teardownPosted = false;
    bool m_focusOnLoad = false;
    // The browser's own share of OLE on this thread, given back when it goes.
    Common::CScopedOle m_ole;
};

} // namespace WebUI
} // namespace RVGameEngine
