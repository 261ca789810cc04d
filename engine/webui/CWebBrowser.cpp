#include "engine/webui/CWebBrowser.h"

#include "engine/webui/CWBStorage.h"

#include <exdispid.h>

#include <cwchar>
#include <new>

namespace RVGameEngine {
namespace WebUI {

namespace {

// Pages are always fetched afresh and never kept: navNoReadFromCache | navNoWriteToCache.
constexpr LONG kNavigateFlags = 4 | 8;

// A body's styling works on what the document offers; a missing part skips its step.
void SetBodyScroll(IHTMLElement* body, const wchar_t* value)
{
    Common::TComPointer<IHTMLBodyElement> bodyElement;
    if (body == nullptr || FAILED(body->QueryInterface(IID_IHTMLBodyElement, reinterpret_cast<void**>(bodyElement.Receive()))) ||
        !bodyElement)
        return;
    Common::CScopedBstr text(SysAllocString(value));
    if (text)
        bodyElement->put_scroll(text.Get());
}

void SetStyleText(IHTMLStyle* style, HRESULT (STDMETHODCALLTYPE IHTMLStyle::*put)(BSTR), const wchar_t* value)
{
    Common::CScopedBstr text(SysAllocString(value));
    if (text)
        (style->*put)(text.Get());
}

bool IsProgramLink(const wchar_t* url)
{
    const size_t prefixLength = wcslen(kProgramLinkPrefix);
    return url != nullptr && wcsncmp(url, kProgramLinkPrefix, prefixLength) == 0;
}

// The address argument of BeforeNavigate2: a VARIANT reached by reference.
const wchar_t* NavigationAddress(const VARIANTARG& argument)
{
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr)
        value = value->pvarVal;
    return value->vt == VT_BSTR ? value->bstrVal : nullptr;
}

} // namespace

CWebBrowser::CWebBrowser(HWND parent)
{
    const HRESULT ole = OleInitialize(nullptr);
    if (ole == S_OK || ole == S_FALSE)
        m_ole.Reset(true);
    m_frame = DirectUI::IFrame_Create();
    HWND host = nullptr;
    if (m_frame) {
        m_frame->Create(parent, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
        m_frame->SetName(L"WebBrowser");
        m_frame->Move(0, 0, 0, 0);
        host = m_frame->GetHandle();
    }
    m_uiHandler = std::make_unique<CUIHandler>(this);
    m_clientSite = std::make_unique<CWBClientSite>(host, m_uiHandler.get());
}

CWebBrowser::~CWebBrowser()
{
    Destroy();
    m_frame.Reset();
}

HRESULT CWebBrowser::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CWebBrowser::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_comReferences)); }
ULONG CWebBrowser::Release() { return static_cast<ULONG>(InterlockedDecrement(&m_comReferences)); }
HRESULT CWebBrowser::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
HRESULT CWebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
// The browser object drives its sink by dispatch ids only.
HRESULT CWebBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

bool CWebBrowser::ConnectEvents()
{
    Common::TComPointer<IConnectionPointContainer> container;
    if (FAILED(m_webBrowser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()))) ||
        !container)
        return false;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_connectionPoint.Receive())) || !m_connectionPoint)
        return false;
    Common::TComPointer<IUnknown> sink;
    QueryInterface(IID_IUnknown, reinterpret_cast<void**>(sink.Receive()));
    if (FAILED(m_connectionPoint->Advise(sink.Get(), &m_adviseCookie)))
        m_adviseCookie = 0;
    return true;
}

bool CWebBrowser::Create()
{
    if (!m_frame || m_oleObject)
        return false;
    CWBStorage storage;
    if (FAILED(OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr,
                         static_cast<IOleClientSite*>(m_clientSite.get()), &storage,
                         reinterpret_cast<void**>(m_oleObject.Receive()))) ||
        !m_oleObject)
        return false;
    if (FAILED(m_oleObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(m_webBrowser.Receive()))) ||
        !m_webBrowser)
        return false;
    if (FAILED(OleSetContainedObject(m_oleObject.Get(), TRUE)))
        return false;
    RECT client = {};
    GetClientRect(m_frame->GetHandle(), &client);
    if (FAILED(m_oleObject->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(m_clientSite.get()), -1,
                                   m_frame->GetHandle(), &client)))
        return false;
    return ConnectEvents();
}

// Every interface is let go once: a second Destroy, or the destructor after
// one, finds nothing left to release.
void CWebBrowser::Destroy()
{
    m_document.Reset();
    if (m_connectionPoint) {
        if (m_adviseCookie != 0)
            m_connectionPoint->Unadvise(m_adviseCookie);
        m_adviseCookie = 0;
        m_connectionPoint.Reset();
    }
    if (m_webBrowser) {
        m_webBrowser->Stop();
        m_webBrowser.Reset();
    }
    if (m_oleObject) {
        m_oleObject->Close(OLECLOSE_NOSAVE);
        m_oleObject.Reset();
    }
}

void CWebBrowser::Show()
{
    if (m_frame)
        m_frame->Show();
}

void CWebBrowser::Hide()
{
    if (m_frame)
        m_frame->Hide();
}

int CWebBrowser::SetRect(int x, int y, int width, int height)
{
    if (!m_oleObject)
        return WEBBROWSER_NO_OBJECT;
    m_frame->Move(x, y, width, height);
    Common::TComPointer<IOleInPlaceObject> inPlace;
    if (FAILED(m_oleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Receive()))) ||
        !inPlace)
        return WEBBROWSER_NO_INPLACE;
    const RECT area = {0, 0, width, height};
    inPlace->SetObjectRects(&area, &area);
    return WEBBROWSER_OK;
}

int CWebBrowser::Navigate(const wchar_t* url)
{
    if (!m_oleObject)
        return WEBBROWSER_NO_OBJECT;
    if (!m_webBrowser)
        return WEBBROWSER_NO_BROWSER;
    Common::CScopedBstr address(SysAllocString(url != nullptr ? url : L""));
    if (!address)
        return WEBBROWSER_NO_MEMORY;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = address.Get();
    VARIANT flags;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = kNavigateFlags;
    m_webBrowser->Navigate2(&target, &flags, nullptr, nullptr, nullptr);
    return WEBBROWSER_OK;
}

int CWebBrowser::LoadHTML(const wchar_t* html)
{
    if (!m_oleObject)
        return WEBBROWSER_NO_OBJECT;
    if (!m_webBrowser)
        return WEBBROWSER_NO_BROWSER;
    {
        Common::CScopedBstr blank(SysAllocString(L"about:blank"));
        if (!blank)
            return WEBBROWSER_NO_MEMORY;
        VARIANT target;
        VariantInit(&target);
        target.vt = VT_BSTR;
        target.bstrVal = blank.Get();
        m_webBrowser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    }
    Common::TComPointer<IDispatch> dispatch;
    Common::TComPointer<IHTMLDocument2> document;
    if (FAILED(m_webBrowser->get_Document(dispatch.Receive())) || !dispatch ||
        FAILED(dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive()))) ||
        !document)
        return WEBBROWSER_OK;
    Common::CScopedBstr text(SysAllocString(html != nullptr ? html : L""));
    if (!text)
        return WEBBROWSER_NO_MEMORY;
    Common::CScopedSafeArray lines(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    if (!lines)
        return WEBBROWSER_NO_MEMORY;
    VARIANT* element = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(lines.Get(), reinterpret_cast<void**>(&element)))) {
        element->vt = VT_BSTR;
        element->bstrVal = text.Release(); // the array frees it
        SafeArrayUnaccessData(lines.Get());
        document->write(lines.Get());
    }
    Common::TComPointer<IHTMLElement> body;
    if (SUCCEEDED(document->get_body(body.Receive())) && body) {
        SetBodyScroll(body.Get(), L"no");
        Common::TComPointer<IHTMLStyle> style;
        if (SUCCEEDED(body->get_style(style.Receive())) && style)
            SetStyleText(style.Get(), &IHTMLStyle::put_border, L"none");
    }
    return WEBBROWSER_OK;
}

void CWebBrowser::Focus()
{
    if (!m_document)
        return;
    Common::TComPointer<IHTMLElement> body;
    if (FAILED(m_document->get_body(body.Receive())) || !body)
        return;
    Common::TComPointer<IHTMLElement2> element;
    if (SUCCEEDED(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(element.Receive()))) && element)
        element->focus();
}

void CWebBrowser::SetFocusOnLoad(bool focus) { m_focusOnLoad = focus; }
Common::TIntrusivePointer<DirectUI::IFrame> CWebBrowser::GetFrame() { return m_frame; }

HRESULT CWebBrowser::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*)
{
    // A handler may let go of the browser while it is being told.
    const Common::TIntrusivePointer<IWebBrowser> keepAlive(this);
    if (id == DISPID_BEFORENAVIGATE2)
        return OnBeforeNavigate(parameters);
    if (id == DISPID_DOCUMENTCOMPLETE)
        return OnDocumentComplete();
    return S_OK;
}

// Addresses of the program's own prefix are cancelled and reported; the
// prefix is compared on the address as the browser gives it.
HRESULT CWebBrowser::OnBeforeNavigate(DISPPARAMS* parameters)
{
    // BeforeNavigate2's seven arguments arrive last first: the address is
    // the sixth from the end, the cancel flag the last.
    if (parameters == nullptr || parameters->cArgs < 7 || parameters->rgvarg == nullptr)
        return S_OK;
    const wchar_t* url = NavigationAddress(parameters->rgvarg[5]);
    VARIANTARG& cancel = parameters->rgvarg[0];
    if (!IsProgramLink(url) || cancel.vt != (VT_BYREF | VT_BOOL) || cancel.pboolVal == nullptr)
        return S_OK;
    *cancel.pboolVal = VARIANT_TRUE;
    tagWebBrowserNavigateEventArgs args;
    args.URL = url;
    Fire(WEBBROWSER_EVENT_NAVIGATE, static_cast<IWebBrowser*>(this), &args);
    return S_OK;
}

void CWebBrowser::StyleLoadedBody(bool focus)
{
    Common::TComPointer<IHTMLElement> body;
    if (FAILED(m_document->get_body(body.Receive())) || !body)
        return;
    if (focus)
        Focus();
    SetBodyScroll(body.Get(), L"no");
    Common::TComPointer<IHTMLStyle> style;
    if (FAILED(body->get_style(style.Receive())) || !style)
        return;
    SetStyleText(style.Get(), &IHTMLStyle::put_overflow, L"hidden");
    SetStyleText(style.Get(), &IHTMLStyle::put_border, L"none");
    style->put_pixelHeight(0);
    style->put_pixelWidth(0);
}

HRESULT CWebBrowser::OnDocumentComplete()
{
    if (!m_document) {
        Common::TComPointer<IDispatch> dispatch;
        if (!m_webBrowser || FAILED(m_webBrowser->get_Document(dispatch.Receive())) || !dispatch)
            return E_FAIL;
        const HRESULT query =
            dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(m_document.Receive()));
        if (query == E_FAIL)
            return E_FAIL;
    }
    if (m_document)
        StyleLoadedBody(m_focusOnLoad);
    tagWebBrowserDocumentCompleteEventArgs args;
    Fire(WEBBROWSER_EVENT_DOCUMENT_COMPLETE, static_cast<IWebBrowser*>(this), &args);
    return S_OK;
}

IWebBrowser* IWebBrowser_Create(HWND parent)
{
    return new (std::nothrow) CWebBrowser(parent);
}

} // namespace WebUI
} // namespace RVGameEngine
