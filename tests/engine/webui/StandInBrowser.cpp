// The stand-in's objects are laid out by hand from the interfaces' C
// declarations: one table of functions per interface, in which only the calls
// the hosting code makes are answered; any other call ends the run, naming
// the interface and the slot.
#define CINTERFACE
#include "tests/engine/webui/StandInBrowser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <cstdio>
#include <cwchar>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace RVTest {
namespace StandIn {

struct tagObject;

// One interface of an object: the COM pointer points at its table.
struct tagInterface
{
    const void* table = nullptr;
    tagObject* object = nullptr;
    const wchar_t* name = L"";
    long references = 0;
    bool overReleased = false;
};

enum class enmGroup
{
    Browser,
    ConnectionPoint,
    Document,
    Element,
    Style,
};

// The class object: its table, and the recorder whose objects it makes.
struct tagFactory
{
    const void* table = nullptr;
    StandInBrowser::tagState* state = nullptr;
};

} // namespace StandIn

struct StandInBrowser::tagState
{
    std::vector<std::unique_ptr<StandIn::tagObject>> objects;
    std::vector<std::wstring> calls;
    std::function<void()> afterNotification;
    // Helpers kept with keepHelpers, and their AddRef answers then.
    IStorage* keptStorage = nullptr;
    IOleClientSite* keptSite = nullptr;
    IDocHostUIHandler* keptHandler = nullptr;
    unsigned long keptCounts[3] = {0, 0, 0};
    StandInOptions* options = nullptr;
    int notifying = 0;
    DWORD registration = 0;
    StandIn::tagFactory factory;
};

namespace StandIn {

struct tagObject
{
    StandInBrowser::tagState* state = nullptr;
    StandInOptions options;
    int number = 0;
    tagInterface oleObject, persistStorage, inPlace, webBrowser, container, connectionPoint, document, body, bodyElement, element2,
        style;
    long references = 0;
    // Every reference given out has been given back.
    bool released = false;
    IOleClientSite* site = nullptr;
    IDispatch* sink = nullptr;
    DWORD cookie = 0;
    // Released once the notification that was being delivered is over.
    IDispatch* sinkToRelease = nullptr;
    HWND window = nullptr;

    std::vector<tagInterface*> Interfaces()
    {
        return {&oleObject, &persistStorage, &inPlace, &webBrowser, &container, &connectionPoint,
                &document,  &body,    &bodyElement, &element2, &style};
    }
    void Record(std::wstring call) const { state->calls.push_back(std::move(call)); }
    // Letting go of the browser inside its own notification is a fault.
    void RecordTeardown(std::wstring call) const
    {
        if (state->notifying > 0)
            call += L" (notifying)";
        Record(std::move(call));
    }
};

} // namespace StandIn

namespace {

using namespace StandIn;

tagInterface* Self(void* pointer) { return static_cast<tagInterface*>(pointer); }
tagObject& ObjectOf(void* pointer) { return *Self(pointer)->object; }

// ---- calls nobody expects ---------------------------------------------------------

[[noreturn]] void ReportUnexpected(void* self, size_t slot)
{
    const tagInterface* called = Self(self);
    std::fprintf(stderr, "stand-in browser: unexpected call of slot %u of %ls\n", static_cast<unsigned>(slot),
                 called != nullptr ? called->name : L"?");
    std::fflush(stderr);
    std::abort();
}

template <size_t Slot>
HRESULT STDMETHODCALLTYPE Unexpected(void* self)
{
    ReportUnexpected(self, Slot);
}

constexpr size_t kMostSlots = 256;

template <size_t... Slots>
std::vector<void*> MakeTraps(std::index_sequence<Slots...>)
{
    return {reinterpret_cast<void*>(&Unexpected<Slots>)...};
}

// A table of the interface's type with every slot a trap.
template <typename Table>
Table TrapTable()
{
    static_assert(sizeof(Table) % sizeof(void*) == 0 && sizeof(Table) / sizeof(void*) <= kMostSlots, "table size");
    static const std::vector<void*> traps = MakeTraps(std::make_index_sequence<kMostSlots>());
    Table table;
    std::memcpy(&table, traps.data(), sizeof(Table));
    return table;
}

template <typename Slot, typename Function>
void Set(Slot& slot, Function function)
{
    slot = reinterpret_cast<Slot>(function);
}

// ---- IUnknown, shared -------------------------------------------------------------

void Touch(void* self)
{
    tagObject& object = ObjectOf(self);
    if (object.released)
        object.Record(std::wstring(L"call on ") + Self(self)->name + L" after its release");
}

ULONG STDMETHODCALLTYPE AddRef(void* self)
{
    tagInterface* called = Self(self);
    ++called->references;
    called->object->released = false;
    return static_cast<ULONG>(++called->object->references);
}

ULONG STDMETHODCALLTYPE Release(void* self)
{
    tagInterface* called = Self(self);
    if (called->references <= 0) {
        called->overReleased = true;
        return 0;
    }
    --called->references;
    const long remaining = --called->object->references;
    called->object->released = remaining == 0;
    return static_cast<ULONG>(remaining);
}

tagInterface* Find(tagObject& object, enmGroup group, REFIID iid)
{
    const bool unknown = IsEqualIID(iid, IID_IUnknown) != FALSE;
    const bool dispatch = IsEqualIID(iid, IID_IDispatch) != FALSE;
    switch (group) {
    case enmGroup::Browser:
        if (unknown || IsEqualIID(iid, IID_IOleObject))
            return &object.oleObject;
        if (object.options.webBrowser2 && (dispatch || IsEqualIID(iid, IID_IWebBrowser2) ||
                                           IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser)))
            return &object.webBrowser;
        if (IsEqualIID(iid, IID_IPersistStorage))
            return &object.persistStorage;
        if (object.options.inPlaceObject && IsEqualIID(iid, IID_IOleInPlaceObject))
            return &object.inPlace;
        if (object.options.connectionPoints && IsEqualIID(iid, IID_IConnectionPointContainer))
            return &object.container;
        return nullptr;
    case enmGroup::ConnectionPoint:
        return unknown || IsEqualIID(iid, IID_IConnectionPoint) ? &object.connectionPoint : nullptr;
    case enmGroup::Document:
        return unknown || dispatch || IsEqualIID(iid, IID_IHTMLDocument2) ? &object.document : nullptr;
    case enmGroup::Element:
        if (unknown || dispatch || IsEqualIID(iid, IID_IHTMLElement))
            return &object.body;
        if (IsEqualIID(iid, IID_IHTMLBodyElement))
            return &object.bodyElement;
        if (IsEqualIID(iid, IID_IHTMLElement2))
            return &object.element2;
        return nullptr;
    case enmGroup::Style:
        return unknown || dispatch || IsEqualIID(iid, IID_IHTMLStyle) ? &object.style : nullptr;
    }
    return nullptr;
}

HRESULT Query(void* self, enmGroup group, REFIID iid, void** result)
{
    Touch(self);
    if (result == nullptr)
        return E_POINTER;
    *result = nullptr;
    tagObject& object = ObjectOf(self);
    if (group == enmGroup::Document && IsEqualIID(iid, IID_IHTMLDocument2) && object.options.documentQueryAnswer != S_OK)
        return object.options.documentQueryAnswer;
    tagInterface* found = Find(object, group, iid);
    if (found == nullptr)
        return E_NOINTERFACE;
    AddRef(found);
    *result = found;
    return S_OK;
}

template <enmGroup Group>
HRESULT STDMETHODCALLTYPE QueryGroup(void* self, REFIID iid, void** result)
{
    return Query(self, Group, iid, result);
}

// Hands out one of the object's interfaces as an out value.
template <typename Pointer>
HRESULT GiveOut(tagInterface& given, Pointer** result)
{
    AddRef(&given);
    *result = reinterpret_cast<Pointer*>(&given);
    return S_OK;
}

std::wstring Text(BSTR text) { return text != nullptr ? std::wstring(text) : std::wstring(L"(null)"); }

// ---- IOleObject -------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE SetClientSite(void* self, IOleClientSite* site)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    if (site != nullptr)
        site->lpVtbl->AddRef(site);
    if (object.site != nullptr)
        object.site->lpVtbl->Release(object.site);
    object.site = site;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetClientSite(void* self, IOleClientSite** site)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    *site = object.site;
    if (object.site != nullptr)
        object.site->lpVtbl->AddRef(object.site);
    return object.site != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE SetHostNames(void* self, LPCOLESTR, LPCOLESTR)
{
    Touch(self);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Close(void* self, DWORD option)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    object.RecordTeardown(L"Close " + std::to_wstring(option));
    if (object.options.keepHelpers && object.site != nullptr && object.state->keptSite == nullptr) {
        object.state->keptSite = object.site;
        object.state->keptCounts[1] = object.site->lpVtbl->AddRef(object.site);
        IDocHostUIHandler* handler = nullptr;
        if (SUCCEEDED(object.site->lpVtbl->QueryInterface(object.site, IID_IDocHostUIHandler,
                                                           reinterpret_cast<void**>(&handler))) &&
            handler != nullptr) {
            object.state->keptHandler = handler;
            // What a further reference makes of its count, given straight back.
            object.state->keptCounts[2] = handler->lpVtbl->AddRef(handler);
            handler->lpVtbl->Release(handler);
        }
    }
    if (object.window != nullptr)
        DestroyWindow(object.window);
    object.window = nullptr;
    SetClientSite(self, nullptr);
    return S_OK;
}

// In-place activation as the browser does it: through the site's in-place
// interface, into a window of its own inside the site's window.
HRESULT STDMETHODCALLTYPE DoVerb(void* self, LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                 LPCRECT position)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    object.Record(L"DoVerb " + std::to_wstring(verb));
    if (site == nullptr || parent == nullptr || position == nullptr)
        return E_INVALIDARG;
    IOleInPlaceSite* inPlaceSite = nullptr;
    if (FAILED(site->lpVtbl->QueryInterface(site, IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite))) ||
        inPlaceSite == nullptr)
        return E_NOINTERFACE;
    HRESULT result = inPlaceSite->lpVtbl->CanInPlaceActivate(inPlaceSite);
    HWND siteWindow = nullptr;
    if (result == S_OK)
        result = inPlaceSite->lpVtbl->OnInPlaceActivate(inPlaceSite);
    if (SUCCEEDED(result))
        result = inPlaceSite->lpVtbl->GetWindow(inPlaceSite, &siteWindow);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT placed = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    if (SUCCEEDED(result))
        result = inPlaceSite->lpVtbl->GetWindowContext(inPlaceSite, &frame, &document, &placed, &clip, &frameInfo);
    if (frame != nullptr)
        frame->lpVtbl->Release(frame);
    if (document != nullptr)
        document->lpVtbl->Release(document);
    inPlaceSite->lpVtbl->Release(inPlaceSite);
    if (FAILED(result) || siteWindow != parent)
        return E_FAIL;
    if (object.window == nullptr)
        object.window = CreateWindowExW(0, L"STATIC", L"stand-in page", WS_CHILD | WS_VISIBLE, placed.left,
                                        placed.top, placed.right - placed.left, placed.bottom - placed.top, parent,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    return object.window != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE GetUserClassID(void* self, CLSID* id)
{
    Touch(self);
    *id = CLSID_WebBrowser;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetMiscStatus(void* self, DWORD, DWORD* status)
{
    Touch(self);
    *status = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE NotImplemented1(void* self, void*)
{
    Touch(self);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE NotImplemented2(void* self, void*, void*)
{
    Touch(self);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE NotImplementedExtent(void* self, DWORD, SIZEL*)
{
    Touch(self);
    return E_NOTIMPL;
}

// ---- IPersistStorage: a new object has nothing to load or keep ---------------------

HRESULT STDMETHODCALLTYPE InitNew(void* self, IStorage* storage)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    if (object.options.keepHelpers && storage != nullptr && object.state->keptStorage == nullptr) {
        object.state->keptStorage = storage;
        object.state->keptCounts[0] = storage->lpVtbl->AddRef(storage);
    }
    return S_OK;
}

// ---- IOleInPlaceObject --------------------------------------------------------------

HRESULT STDMETHODCALLTYPE InPlaceGetWindow(void* self, HWND* window)
{
    Touch(self);
    *window = ObjectOf(self).window;
    return *window != nullptr ? S_OK : E_FAIL;
}

std::wstring RectText(LPCRECT rect)
{
    if (rect == nullptr)
        return L"(null)";
    return std::to_wstring(rect->left) + L"," + std::to_wstring(rect->top) + L"," + std::to_wstring(rect->right) +
           L"," + std::to_wstring(rect->bottom);
}

HRESULT STDMETHODCALLTYPE SetObjectRects(void* self, LPCRECT position, LPCRECT clip)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    object.Record(L"SetObjectRects " + RectText(position) + L" " + RectText(clip));
    if (object.window != nullptr && position != nullptr)
        MoveWindow(object.window, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

// ---- IWebBrowser2 -----------------------------------------------------------------

std::wstring VariantText(const VARIANT* value)
{
    if (value == nullptr)
        return L"(none)";
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr)
        value = value->pvarVal;
    if (value->vt == VT_BSTR)
        return Text(value->bstrVal);
    if (value->vt == VT_I4)
        return std::to_wstring(value->lVal);
    if (value->vt == VT_EMPTY || value->vt == VT_ERROR)
        return L"(none)";
    return L"(type " + std::to_wstring(value->vt) + L")";
}

HRESULT STDMETHODCALLTYPE Navigate2(void* self, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                    VARIANT* headers)
{
    Touch(self);
    std::wstring call = L"Navigate2 " + VariantText(url);
    if (flags != nullptr)
        call += L" flags " + VariantText(flags);
    if (target != nullptr || postData != nullptr || headers != nullptr)
        call += L" with more";
    ObjectOf(self).Record(call);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Stop(void* self)
{
    Touch(self);
    ObjectOf(self).RecordTeardown(L"Stop");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetDocument(void* self, IDispatch** document)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    *document = nullptr;
    if (object.options.documentAnswer != S_OK)
        return object.options.documentAnswer;
    return GiveOut(object.document, document);
}

// ---- connection point -------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FindConnectionPoint(void* self, REFIID iid, IConnectionPoint** point)
{
    Touch(self);
    *point = nullptr;
    if (!IsEqualIID(iid, DIID_DWebBrowserEvents2))
        return CONNECT_E_NOCONNECTION;
    return GiveOut(ObjectOf(self).connectionPoint, point);
}

HRESULT STDMETHODCALLTYPE Advise(void* self, IUnknown* sink, DWORD* cookie)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    object.Record(L"Advise");
    *cookie = 0;
    if (object.sink != nullptr)
        return CONNECT_E_ADVISELIMIT;
    IDispatch* events = nullptr;
    if (sink == nullptr ||
        FAILED(sink->lpVtbl->QueryInterface(sink, DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&events))) ||
        events == nullptr)
        return CONNECT_E_CANNOTCONNECT;
    object.sink = events;
    object.cookie = 0x100 + static_cast<DWORD>(object.number);
    *cookie = object.cookie;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Unadvise(void* self, DWORD cookie)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    object.RecordTeardown(L"Unadvise");
    if (object.sink == nullptr || cookie != object.cookie)
        return CONNECT_E_NOCONNECTION;
    // A connection point that is delivering keeps the sink until it is done.
    if (object.state->notifying > 0)
        object.sinkToRelease = object.sink;
    else
        object.sink->lpVtbl->Release(object.sink);
    object.sink = nullptr;
    return S_OK;
}

// ---- document, body and style -----------------------------------------------------

HRESULT STDMETHODCALLTYPE Write(void* self, SAFEARRAY* lines)
{
    Touch(self);
    std::wstring text;
    VARIANT* values = nullptr;
    if (lines != nullptr && SUCCEEDED(SafeArrayAccessData(lines, reinterpret_cast<void**>(&values)))) {
        for (ULONG i = 0; i < lines->rgsabound[0].cElements; ++i)
            text += VariantText(&values[i]);
        SafeArrayUnaccessData(lines);
    }
    ObjectOf(self).Record(L"write " + text);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetBody(void* self, IHTMLElement** body)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    *body = nullptr;
    return object.options.body ? GiveOut(object.body, body) : S_OK;
}

HRESULT STDMETHODCALLTYPE GetStyle(void* self, IHTMLStyle** style)
{
    Touch(self);
    tagObject& object = ObjectOf(self);
    *style = nullptr;
    return object.options.style ? GiveOut(object.style, style) : S_OK;
}

HRESULT STDMETHODCALLTYPE Focus(void* self)
{
    Touch(self);
    ObjectOf(self).Record(L"body focus");
    return S_OK;
}

template <const wchar_t* Name>
HRESULT STDMETHODCALLTYPE PutText(void* self, BSTR value)
{
    Touch(self);
    ObjectOf(self).Record(std::wstring(Name) + L"=" + Text(value));
    return S_OK;
}

template <const wchar_t* Name>
HRESULT STDMETHODCALLTYPE PutNumber(void* self, LONG value)
{
    Touch(self);
    ObjectOf(self).Record(std::wstring(Name) + L"=" + std::to_wstring(value));
    return S_OK;
}

constexpr wchar_t kBodyScroll[] = L"body scroll";
constexpr wchar_t kStyleOverflow[] = L"style overflow";
constexpr wchar_t kStyleBorder[] = L"style border";
constexpr wchar_t kStylePixelHeight[] = L"style pixelHeight";
constexpr wchar_t kStylePixelWidth[] = L"style pixelWidth";

// ---- the tables -------------------------------------------------------------------

template <typename Table>
void SetUnknown(Table& table, HRESULT(STDMETHODCALLTYPE* query)(void*, REFIID, void**))
{
    Set(table.QueryInterface, query);
    Set(table.AddRef, &AddRef);
    Set(table.Release, &Release);
}

const IOleObjectVtbl* OleObjectTable()
{
    static const IOleObjectVtbl table = [] {
        IOleObjectVtbl t = TrapTable<IOleObjectVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Browser>);
        Set(t.SetClientSite, &SetClientSite);
        Set(t.GetClientSite, &GetClientSite);
        Set(t.SetHostNames, &SetHostNames);
        Set(t.Close, &Close);
        Set(t.DoVerb, &DoVerb);
        Set(t.GetUserClassID, &GetUserClassID);
        Set(t.GetMiscStatus, &GetMiscStatus);
        Set(t.EnumVerbs, &NotImplemented1);
        Set(t.Advise, &NotImplemented2);
        Set(t.SetExtent, &NotImplementedExtent);
        Set(t.GetExtent, &NotImplementedExtent);
        return t;
    }();
    return &table;
}

const IPersistStorageVtbl* PersistStorageTable()
{
    static const IPersistStorageVtbl table = [] {
        IPersistStorageVtbl t = TrapTable<IPersistStorageVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Browser>);
        Set(t.GetClassID, &GetUserClassID);
        Set(t.InitNew, &InitNew);
        return t;
    }();
    return &table;
}

const IOleInPlaceObjectVtbl* InPlaceTable()
{
    static const IOleInPlaceObjectVtbl table = [] {
        IOleInPlaceObjectVtbl t = TrapTable<IOleInPlaceObjectVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Browser>);
        Set(t.GetWindow, &InPlaceGetWindow);
        Set(t.SetObjectRects, &SetObjectRects);
        return t;
    }();
    return &table;
}

const IWebBrowser2Vtbl* WebBrowserTable()
{
    static const IWebBrowser2Vtbl table = [] {
        IWebBrowser2Vtbl t = TrapTable<IWebBrowser2Vtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Browser>);
        Set(t.Navigate2, &Navigate2);
        Set(t.Stop, &Stop);
        Set(t.get_Document, &GetDocument);
        return t;
    }();
    return &table;
}

const IConnectionPointContainerVtbl* ContainerTable()
{
    static const IConnectionPointContainerVtbl table = [] {
        IConnectionPointContainerVtbl t = TrapTable<IConnectionPointContainerVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Browser>);
        Set(t.FindConnectionPoint, &FindConnectionPoint);
        return t;
    }();
    return &table;
}

const IConnectionPointVtbl* ConnectionPointTable()
{
    static const IConnectionPointVtbl table = [] {
        IConnectionPointVtbl t = TrapTable<IConnectionPointVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::ConnectionPoint>);
        Set(t.Advise, &Advise);
        Set(t.Unadvise, &Unadvise);
        return t;
    }();
    return &table;
}

const IHTMLDocument2Vtbl* DocumentTable()
{
    static const IHTMLDocument2Vtbl table = [] {
        IHTMLDocument2Vtbl t = TrapTable<IHTMLDocument2Vtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Document>);
        Set(t.write, &Write);
        Set(t.get_body, &GetBody);
        return t;
    }();
    return &table;
}

const IHTMLElementVtbl* BodyTable()
{
    static const IHTMLElementVtbl table = [] {
        IHTMLElementVtbl t = TrapTable<IHTMLElementVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Element>);
        Set(t.get_style, &GetStyle);
        return t;
    }();
    return &table;
}

const IHTMLBodyElementVtbl* BodyElementTable()
{
    static const IHTMLBodyElementVtbl table = [] {
        IHTMLBodyElementVtbl t = TrapTable<IHTMLBodyElementVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Element>);
        Set(t.put_scroll, &PutText<kBodyScroll>);
        return t;
    }();
    return &table;
}

const IHTMLElement2Vtbl* Element2Table()
{
    static const IHTMLElement2Vtbl table = [] {
        IHTMLElement2Vtbl t = TrapTable<IHTMLElement2Vtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Element>);
        Set(t.focus, &Focus);
        return t;
    }();
    return &table;
}

const IHTMLStyleVtbl* StyleTable()
{
    static const IHTMLStyleVtbl table = [] {
        IHTMLStyleVtbl t = TrapTable<IHTMLStyleVtbl>();
        SetUnknown(t, &QueryGroup<enmGroup::Style>);
        Set(t.put_overflow, &PutText<kStyleOverflow>);
        Set(t.put_border, &PutText<kStyleBorder>);
        Set(t.put_pixelHeight, &PutNumber<kStylePixelHeight>);
        Set(t.put_pixelWidth, &PutNumber<kStylePixelWidth>);
        return t;
    }();
    return &table;
}

void Bind(tagInterface& part, tagObject* object, const void* table, const wchar_t* name)
{
    part.table = table;
    part.object = object;
    part.name = name;
}

std::unique_ptr<tagObject> MakeObject(StandInBrowser::tagState* state, const StandInOptions& options, int number)
{
    std::unique_ptr<tagObject> object(new tagObject());
    tagObject* o = object.get();
    o->state = state;
    o->options = options;
    o->number = number;
    Bind(o->oleObject, o, OleObjectTable(), L"IOleObject");
    Bind(o->persistStorage, o, PersistStorageTable(), L"IPersistStorage");
    Bind(o->inPlace, o, InPlaceTable(), L"IOleInPlaceObject");
    Bind(o->webBrowser, o, WebBrowserTable(), L"IWebBrowser2");
    Bind(o->container, o, ContainerTable(), L"IConnectionPointContainer");
    Bind(o->connectionPoint, o, ConnectionPointTable(), L"IConnectionPoint");
    Bind(o->document, o, DocumentTable(), L"IHTMLDocument2");
    Bind(o->body, o, BodyTable(), L"IHTMLElement");
    Bind(o->bodyElement, o, BodyElementTable(), L"IHTMLBodyElement");
    Bind(o->element2, o, Element2Table(), L"IHTMLElement2");
    Bind(o->style, o, StyleTable(), L"IHTMLStyle");
    return object;
}

// ---- the class object ---------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FactoryQuery(void* self, REFIID iid, void** result)
{
    *result = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *result = self;
    return S_OK;
}

// The class object lives as long as its registration: its count is not kept.
ULONG STDMETHODCALLTYPE FactoryAddRef(void*) { return 2; }
ULONG STDMETHODCALLTYPE FactoryRelease(void*) { return 1; }

HRESULT STDMETHODCALLTYPE CreateInstance(void* self, IUnknown* outer, REFIID iid, void** result)
{
    *result = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    StandInBrowser::tagState* state = static_cast<tagFactory*>(self)->state;
    state->objects.push_back(MakeObject(state, *state->options, static_cast<int>(state->objects.size()) + 1));
    return Query(&state->objects.back()->oleObject, enmGroup::Browser, iid, result);
}

HRESULT STDMETHODCALLTYPE LockServer(void*, BOOL) { return S_OK; }

const IClassFactoryVtbl* FactoryTable()
{
    static const IClassFactoryVtbl table = [] {
        IClassFactoryVtbl t = TrapTable<IClassFactoryVtbl>();
        Set(t.QueryInterface, &FactoryQuery);
        Set(t.AddRef, &FactoryAddRef);
        Set(t.Release, &FactoryRelease);
        Set(t.CreateInstance, &CreateInstance);
        Set(t.LockServer, &LockServer);
        return t;
    }();
    return &table;
}

// Delivers one notification as the browser does, from the latest object or
// the one numbered.
HRESULT Notify(StandInBrowser::tagState& state, int objectNumber, DISPID id, DISPPARAMS* parameters)
{
    if (objectNumber <= 0)
        objectNumber = static_cast<int>(state.objects.size());
    if (objectNumber > static_cast<int>(state.objects.size()) || state.objects[objectNumber - 1]->sink == nullptr)
        return S_FALSE;
    tagObject& object = *state.objects[objectNumber - 1];
    IDispatch* sink = object.sink;
    sink->lpVtbl->AddRef(sink);
    ++state.notifying;
    const HRESULT result = sink->lpVtbl->Invoke(sink, id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                parameters, nullptr, nullptr, nullptr);
    if (state.afterNotification)
        state.afterNotification();
    --state.notifying;
    sink->lpVtbl->Release(sink);
    if (state.notifying == 0 && object.sinkToRelease != nullptr) {
        IDispatch* unadvised = object.sinkToRelease;
        object.sinkToRelease = nullptr;
        unadvised->lpVtbl->Release(unadvised);
    }
    return result;
}

} // namespace

StandInBrowser::StandInBrowser() : m_state(new tagState())
{
    m_state->options = &options;
    m_state->factory.table = FactoryTable();
    m_state->factory.state = m_state.get();
    if (FAILED(CoRegisterClassObject(CLSID_WebBrowser, reinterpret_cast<IUnknown*>(&m_state->factory),
                                     CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_state->registration)))
        m_state->registration = 0;
}

StandInBrowser::~StandInBrowser()
{
    if (m_state->registration != 0)
        CoRevokeClassObject(m_state->registration);
    for (const std::unique_ptr<StandIn::tagObject>& object : m_state->objects) {
        if (object->window != nullptr)
            DestroyWindow(object->window);
    }
    // An object still held may still be called: it is left to the process
    // rather than freed under its holder (the test has failed already).
    if (LiveCount() > 0)
        m_state.release();
}

int StandInBrowser::MadeCount() const { return static_cast<int>(m_state->objects.size()); }

int StandInBrowser::LiveCount() const
{
    int live = 0;
    for (const std::unique_ptr<StandIn::tagObject>& object : m_state->objects)
        live += object->references > 0 ? 1 : 0;
    return live;
}

std::vector<std::wstring> StandInBrowser::TakeCalls()
{
    std::vector<std::wstring> taken;
    taken.swap(m_state->calls);
    return taken;
}

std::vector<std::wstring> StandInBrowser::Unbalanced() const
{
    std::vector<std::wstring> unbalanced;
    for (const std::unique_ptr<StandIn::tagObject>& object : m_state->objects) {
        for (const StandIn::tagInterface* part : object->Interfaces()) {
            const std::wstring name = std::wstring(part->name) + L" of object " + std::to_wstring(object->number);
            if (part->references != 0)
                unbalanced.push_back(name + L": " + std::to_wstring(part->references) + L" held");
            if (part->overReleased)
                unbalanced.push_back(name + L": released once too often");
        }
    }
    return unbalanced;
}

bool StandInBrowser::IsAdvised() const
{
    return !m_state->objects.empty() && m_state->objects.back()->sink != nullptr;
}

HWND StandInBrowser::GetWindow() const
{
    return m_state->objects.empty() ? nullptr : m_state->objects.back()->window;
}

// BeforeNavigate2's seven arguments, last first: the address by reference
// sixth from the end, the cancel flag last.
HRESULT StandInBrowser::FireBeforeNavigate(const wchar_t* url, bool* cancelled, int objectNumber)
{
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(url);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG arguments[7];
    for (VARIANTARG& argument : arguments)
        VariantInit(&argument);
    arguments[5].vt = VT_BYREF | VT_VARIANT;
    arguments[5].pvarVal = &address;
    arguments[0].vt = VT_BYREF | VT_BOOL;
    arguments[0].pboolVal = &cancel;
    DISPPARAMS parameters = {arguments, nullptr, 7, 0};
    const HRESULT result = Notify(*m_state, objectNumber, DISPID_BEFORENAVIGATE2, &parameters);
    VariantClear(&address);
    if (cancelled != nullptr)
        *cancelled = cancel == VARIANT_TRUE;
    return result;
}

HRESULT StandInBrowser::FireDocumentComplete(int objectNumber)
{
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(L"about:blank");
    VARIANTARG arguments[2];
    VariantInit(&arguments[1]);
    arguments[0].vt = VT_BYREF | VT_VARIANT;
    arguments[0].pvarVal = &address;
    DISPPARAMS parameters = {arguments, nullptr, 2, 0};
    const HRESULT result = Notify(*m_state, objectNumber, DISPID_DOCUMENTCOMPLETE, &parameters);
    VariantClear(&address);
    return result;
}

std::vector<unsigned long> StandInBrowser::KeptHelperCounts() const
{
    return {m_state->keptCounts[0], m_state->keptCounts[1], m_state->keptCounts[2]};
}

namespace {

std::wstring Answer(const wchar_t* call, HRESULT answer)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%lX", static_cast<unsigned long>(answer));
    return std::wstring(call) + L" " + text;
}

} // namespace

std::vector<std::wstring> StandInBrowser::UseAndReleaseKeptHelpers()
{
    std::vector<std::wstring> lines;
    tagState& state = *m_state;
    if (IStorage* storage = std::exchange(state.keptStorage, nullptr)) {
        lines.push_back(Answer(L"storage SetClass", storage->lpVtbl->SetClass(storage, CLSID_NULL)));
        lines.push_back(L"storage released " + std::to_wstring(storage->lpVtbl->Release(storage)));
    }
    if (IDocHostUIHandler* handler = std::exchange(state.keptHandler, nullptr)) {
        POINT at = {0, 0};
        lines.push_back(Answer(L"handler ShowContextMenu",
                               handler->lpVtbl->ShowContextMenu(handler, 0, &at, nullptr, nullptr)));
        lines.push_back(L"handler released " + std::to_wstring(handler->lpVtbl->Release(handler)));
    }
    if (IOleClientSite* site = std::exchange(state.keptSite, nullptr)) {
        IOleInPlaceSite* inPlace = nullptr;
        HWND window = nullptr;
        if (SUCCEEDED(site->lpVtbl->QueryInterface(site, IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))) &&
            inPlace != nullptr) {
            lines.push_back(Answer(L"site GetWindow", inPlace->lpVtbl->GetWindow(inPlace, &window)));
            inPlace->lpVtbl->Release(inPlace);
        }
        lines.push_back(L"site released " + std::to_wstring(site->lpVtbl->Release(site)));
    }
    return lines;
}

void StandInBrowser::SetAfterNotification(std::function<void()> check)
{
    m_state->afterNotification = std::move(check);
}

} // namespace RVTest
