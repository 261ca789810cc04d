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

namespace RVGameEngine {
namespace WebUI {

// The hosted browser and, through its IDispatch part, the sink of the
// browser object's notifications. Its life is the engine reference count;
// the COM count only answers the browser object and never deletes.
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
    bool IsAdvised() const { return m_connectionPoint.Get() != nullptr; }

private:
    HRESULT OnBeforeNavigate(DISPPARAMS* parameters);
    HRESULT OnDocumentComplete();
    bool ConnectEvents();
    void StyleLoadedBody(bool focus);

    Common::TIntrusivePointer<DirectUI::IFrame> m_frame;
    std::unique_ptr<CUIHandler> m_uiHandler;
    std::unique_ptr<CWBClientSite> m_clientSite;
    Common::TComPointer<IOleObject> m_oleObject;
    Common::TComPointer<IWebBrowser2> m_webBrowser;
    Common::TComPointer<IConnectionPoint> m_connectionPoint;
    Common::TComPointer<IHTMLDocument2> m_document;
    DWORD m_adviseCookie = 0;
    volatile LONG m_comReferences = 0;
    bool m_focusOnLoad = false;
    // The browser's own share of OLE on this thread, given back when it goes.
    Common::CScopedOle m_ole;
};

} // namespace WebUI
} // namespace RVGameEngine
