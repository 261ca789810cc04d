#include "engine/webui/CWebBrowser.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/directui/frame/FrameEvents.h"
#include "engine/webui/CBrowserTeardownQueue.h"
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
        m_frame->AddMemberFunctionDelegate(DirectUI::FRAME_EVENT_DESTROYED, this, &CWebBrowser::OnFrameDestroyed);
    }
    *m_uiHandler.Receive() = new (std::nothrow) CUIHandler(this);
    *m_clientSite.Receive() = new (std::nothrow) CWBClientSite(host, m_uiHandler.Get());
}

CWebBrowser::~CWebBrowser()
{
    // Other holders of the IDispatch part and a waiting teardown each keep a
    // reference, so neither is left here.
    Destroy();
    TearDownRetired();
    // What the browser object still keeps of the helpers outlives the
    // browser, but finds nothing of it.
    if (m_clientSite)
        m_clientSite->Detach();
    if (m_uiHandler)
        m_uiHandler->Detach();
    m_clientSite.Reset();
    m_uiHandler.Reset();
    if (m_frame)
        m_frame->RemoveObjectDelegates(this);
    m_frame.Reset();
}

HRESULT CWebBrowser::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (CWebBrowserEventSink::IsSinkInterface(iid)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CWebBrowser::AddRef()
{
    const LONG count = InterlockedIncrement(&m_comReferences);
    UpdateComHold();
    return static_cast<ULONG>(count);
}

ULONG CWebBrowser::Release()
{
    const LONG count = InterlockedDecrement(&m_comReferences);
    UpdateComHold(); // may delete this: nothing below touches it
    return static_cast<ULONG>(count);
}

// COM references hold one engine reference, so that a caller still holding
// the IDispatch part never finds it freed. An object that no engine pointer
// holds (a count of 0: not yet taken, or being destroyed) is not taken over.
void CWebBrowser::UpdateComHold()
{
    const bool comReferences = m_comReferences > 0;
    if (comReferences && !m_comHoldsReference && GetReferenceCount() > 0) {
        m_comHoldsReference = true;
        IWebBrowser::AddRef();
    } else if (!comReferences && m_comHoldsReference) {
        m_comHoldsReference = false;
        IWebBrowser::Release();
    }
}

HRESULT CWebBrowser::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
HRESULT CWebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
// The browser object drives the sink by dispatch ids only.
HRESULT CWebBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

bool CWebBrowser::ConnectEvents()
{
    Common::TComPointer<IConnectionPointContainer> container;
    if (FAILED(m_object->webBrowser->QueryInterface(IID_IConnectionPointContainer,
                                                    reinterpret_cast<void**>(container.Receive()))) ||
        !container)
        return false;
    Common::TComPointer<IConnectionPoint>& point = m_object->connectionPoint;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive())) || !point)
        return false;
    *m_object->sink.Receive() = new (std::nothrow) CWebBrowserEventSink(static_cast<IDispatch*>(this));
    if (!m_object->sink)
        return false;
    if (FAILED(point->Advise(m_object->sink.Get(), &m_object->adviseCookie)))
        m_object->adviseCookie = 0;
    return true;
}

bool CWebBrowser::Create()
{
    if (!m_frame || m_object)
        return false;
    std::unique_ptr<tagBrowserObject> object(new (std::nothrow) tagBrowserObject());
    if (!object)
        return false;
    // The object may keep the storage (InitNew hands it over): what it keeps
    // is its own reference.
    Common::TComPointer<CWBStorage> storage;
    *storage.Receive() = new (std::nothrow) CWBStorage();
    if (!storage || !m_clientSite)
        return false;
    if (FAILED(OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr,
                         static_cast<IOleClientSite*>(m_clientSite.Get()), storage.Get(),
                         reinterpret_cast<void**>(object->oleObject.Receive()))) ||
        !object->oleObject)
        return false;
    // From here on a failure keeps the object for Destroy to let go of.
    m_object = std::move(object);
    IOleObject* oleObject = m_object->oleObject.Get();
    if (FAILED(oleObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(m_object->webBrowser.Receive()))) ||
        !m_object->webBrowser)
        return false;
    if (FAILED(OleSetContainedObject(oleObject, TRUE)))
        return false;
    RECT client = {};
    GetClientRect(m_frame->GetHandle(), &client);
    if (FAILED(oleObject->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(m_clientSite.Get()), -1,
                                 m_frame->GetHandle(), &client)))
        return false;
    return ConnectEvents();
}

// Every interface is let go once: a second Destroy, or the destructor after
// one, finds nothing left to release. Inside a notification the object only
// leaves the browser here and is torn down once the notification is over.
void CWebBrowser::Destroy()
{
    if (!m_object)
        return;
    if (m_firingDepth > 0) {
        Retire();
        return;
    }
    std::unique_ptr<tagBrowserObject> object = std::move(m_object);
    // Giving back the COM holds may drop the last reference.
    Common::CKeepAlive keepAlive(this);
    TearDown(*object);
}

void CWebBrowser::Retire()
{
    if (m_object->sink)
        m_object->sink->Detach();
    m_retired.push_back(std::move(m_object));
}

void CWebBrowser::TearDown(tagBrowserObject& object)
{
    if (object.sink)
        object.sink->Detach();
    object.document.Reset();
    if (object.connectionPoint) {
        if (object.adviseCookie != 0)
            object.connectionPoint->Unadvise(object.adviseCookie);
        object.adviseCookie = 0;
        object.connectionPoint.Reset();
    }
    object.sink.Reset();
    if (object.webBrowser) {
        object.webBrowser->Stop();
        object.webBrowser.Reset();
    }
    if (object.oleObject) {
        object.oleObject->Close(OLECLOSE_NOSAVE);
        object.oleObject.Reset();
    }
}

void CWebBrowser::TearDownRetired()
{
    Common::CKeepAlive keepAlive(this);
    while (!m_retired.empty()) {
        std::unique_ptr<tagBrowserObject> object = std::move(m_retired.back());
        m_retired.pop_back();
        TearDown(*object);
    }
}

bool CWebBrowser::CompleteTeardownOf(Common::IReferenceCounted* browser)
{
    return static_cast<CWebBrowser*>(static_cast<IWebBrowser*>(browser))->CompleteTeardown();
}

bool CWebBrowser::CompleteTeardown()
{
    // Torn down already (its frame went first): nothing to wait for, so the
    // queue need not hold the browser for a turn no one asks for.
    if (m_retired.empty())
        return true;
    if (m_firingDepth > 0)
        return false;
    TearDownRetired();
    return true;
}

// A host closed outside any notification takes the browser's frame window
// with it: the objects let go of go now rather than at a later turn.
void CWebBrowser::OnFrameDestroyed(void*, Common::tagEventArgs*)
{
    if (m_firingDepth == 0 && !m_retired.empty())
        TearDownRetired();
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
    if (!m_object)
        return WEBBROWSER_NO_OBJECT;
    m_frame->Move(x, y, width, height);
    Common::TComPointer<IOleInPlaceObject> inPlace;
    if (FAILED(m_object->oleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Receive()))) ||
        !inPlace)
        return WEBBROWSER_NO_INPLACE;
    const RECT area = {0, 0, width, height};
    inPlace->SetObjectRects(&area, &area);
    return WEBBROWSER_OK;
}

int CWebBrowser::Navigate(const wchar_t* url)
{
    if (!m_object)
        return WEBBROWSER_NO_OBJECT;
    IWebBrowser2* webBrowser = GetWebBrowser2();
    if (webBrowser == nullptr)
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
    webBrowser->Navigate2(&target, &flags, nullptr, nullptr, nullptr);
    return WEBBROWSER_OK;
}

int CWebBrowser::LoadHTML(const wchar_t* html)
{
    if (!m_object)
        return WEBBROWSER_NO_OBJECT;
    IWebBrowser2* webBrowser = GetWebBrowser2();
    if (webBrowser == nullptr)
        return WEBBROWSER_NO_BROWSER;
    {
        Common::CScopedBstr blank(SysAllocString(L"about:blank"));
        if (!blank)
            return WEBBROWSER_NO_MEMORY;
        VARIANT target;
        VariantInit(&target);
        target.vt = VT_BSTR;
        target.bstrVal = blank.Get();
        webBrowser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    }
    Common::TComPointer<IDispatch> dispatch;
    Common::TComPointer<IHTMLDocument2> document;
    if (FAILED(webBrowser->get_Document(dispatch.Receive())) || !dispatch ||
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
    IHTMLDocument2* document = GetDocument();
    if (document == nullptr)
        return;
    Common::TComPointer<IHTMLElement> body;
    if (FAILED(document->get_body(body.Receive())) || !body)
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
    const bool heldOutside = GetReferenceCount() > 0;
    const Common::CKeepAlive keepAlive(this);
    ++m_firingDepth;
    const HRESULT result = Dispatch(id, parameters);
    --m_firingDepth;
    if (m_firingDepth == 0)
        AfterFiring(heldOutside);
    return result;
}

HRESULT CWebBrowser::Dispatch(DISPID id, DISPPARAMS* parameters)
{
    if (id == DISPID_BEFORENAVIGATE2)
        return OnBeforeNavigate(parameters);
    if (id == DISPID_DOCUMENTCOMPLETE)
        return OnDocumentComplete();
    return S_OK;
}

// A handler that dropped the last outside reference let go of the browser
// object as Destroy would have; what was let go of is torn down later, the
// teardown queue holding the browser until then.
void CWebBrowser::AfterFiring(bool heldOutside)
{
    CBrowserTeardownQueue& queue = CBrowserTeardownQueue::GetInstance();
    const int32_t ownReferences = 1 + (m_comHoldsReference ? 1 : 0) + (queue.IsScheduled(static_cast<IWebBrowser*>(this)) ? 1 : 0);
    if (heldOutside && GetReferenceCount() <= ownReferences && m_object)
        Retire();
    if (!m_retired.empty())
        queue.Schedule(static_cast<IWebBrowser*>(this), &CWebBrowser::CompleteTeardownOf);
}

// Program links are cancelled and reported; other addresses load as usual.
HRESULT CWebBrowser::OnBeforeNavigate(DISPPARAMS* parameters)
{
    const wchar_t* url = CWebBrowserEventSink::CancelProgramLink(parameters);
    if (url == nullptr || !m_object)
        return S_OK;
    tagWebBrowserNavigateEventArgs args;
    args.URL = url;
    Fire(WEBBROWSER_EVENT_NAVIGATE, static_cast<IWebBrowser*>(this), &args);
    return S_OK;
}

void CWebBrowser::StyleLoadedBody(bool focus)
{
    Common::TComPointer<IHTMLElement> body;
    if (FAILED(m_object->document->get_body(body.Receive())) || !body)
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
    IWebBrowser2* webBrowser = GetWebBrowser2();
    if (GetDocument() == nullptr) {
        Common::TComPointer<IDispatch> dispatch;
        if (webBrowser == nullptr || FAILED(webBrowser->get_Document(dispatch.Receive())) || !dispatch)
            return E_FAIL;
        const HRESULT query =
            dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(m_object->document.Receive()));
        if (query == E_FAIL)
            return E_FAIL;
    }
    if (GetDocument() != nullptr)
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
