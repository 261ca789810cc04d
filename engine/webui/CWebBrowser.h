#pragma once

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/webui/CUIHandler.h"
#include "engine/webui/CWBClientSite.h"
#include "engine/webui/CWebBrowserEventSink.h"
#include "engine/webui/IWebBrowser.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include <memory>
#include <vector>

namespace RVGameEngine {
namespace WebUI {

// The hosted browser. Its IDispatch part takes the notifications of its
// current browser object: each object is advised with a sink of its own that
// passes them on while the object is current, so that an object let go of
// (which may notify until its teardown) is never taken for the current one.
// The browser lives until both its engine count and its COM count are gone:
// COM references to its IDispatch part hold one engine reference. The
// browser object is let go of (unadvised, stopped, closed) never inside one
// of its notifications: a Destroy asked for meanwhile, or the last outside
// reference dropped by a handler, is carried out from the message loop
// afterwards, through a window that outlives the browser's own.
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
    // Tears down the browser objects let go of, unless a notification is
    // still being delivered; false then, and nothing is done.
    bool CompleteTeardown();
    // The same, for the teardown queue, which holds the browser as it is.
    static bool CompleteTeardownOf(Common::IReferenceCounted* browser);

private:
    // The browser object and what was taken from it, let go of together.
    struct tagBrowserObject
    {
        Common::TComPointer<IOleObject> oleObject;
        Common::TComPointer<IWebBrowser2> webBrowser;
        Common::TComPointer<IConnectionPoint> connectionPoint;
        Common::TComPointer<IHTMLDocument2> document;
        // This object's own sink; detached when the object is let go of.
        Common::TComPointer<CWebBrowserEventSink> sink;
        DWORD adviseCookie = 0;
    };

    HRESULT Dispatch(DISPID id, DISPPARAMS* parameters);
    HRESULT OnBeforeNavigate(DISPPARAMS* parameters);
    HRESULT OnDocumentComplete();
    bool ConnectEvents();
    void StyleLoadedBody(bool focus);
    IWebBrowser2* GetWebBrowser2() const { return m_object ? m_object->webBrowser.Get() : nullptr; }
    IHTMLDocument2* GetDocument() const { return m_object ? m_object->document.Get() : nullptr; }
    // Takes the current object away; it is torn down once no notification
    // is being delivered.
    void Retire();
    void TearDown(tagBrowserObject& object);
    void TearDownRetired();
    void UpdateComHold();
    void AfterFiring(bool heldOutside);
    void OnFrameDestroyed(void* sender, Common::tagEventArgs* args);

    Common::TIntrusivePointer<DirectUI::IFrame> m_frame;
    Common::TComPointer<CUIHandler> m_uiHandler;
    Common::TComPointer<CWBClientSite> m_clientSite;
    std::unique_ptr<tagBrowserObject> m_object;
    // Let go of inside a notification; torn down from the message loop.
    std::vector<std::unique_ptr<tagBrowserObject>> m_retired;
    volatile LONG m_comReferences = 0;
    // The engine reference that COM holders of the IDispatch part stand for.
    bool m_comHoldsReference = false;
    // Notifications being delivered, nested ones included.
    int m_firingDepth = 0;
    bool m_focusOnLoad = false;
    // The browser's own share of OLE on this thread, given back when it goes.
    Common::CScopedOle m_ole;
};

} // namespace WebUI
} // namespace RVGameEngine
