#include "engine/directui/uisystem/CUISystem.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/FatalError.h"
#include "engine/directui/uisystem/UIEventArgs.h"
#include "engine/directui/uisystem/ControlMakers.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

using Common::CKeepAlive;

const tagUIMouseEventArgs& MouseArgs(Common::tagEventArgs* args)
{
    return *static_cast<tagUIMouseEventArgs*>(args);
}

} // namespace

CUISystem::CUISystem(IUISystemDriver* driver) : m_driver(driver), m_root(new (std::nothrow) CUIWindow())
{
    if (m_root.IsNull())
        Common::EngineFatalError("No memory for the root window");
    m_root->SetUISystem(this);
    m_root->SetName(L"Root");
}

CUISystem::~CUISystem()
{
    // The driver may outlive us: none of our handlers may stay behind on it.
    if (!m_driver.IsNull())
        m_driver->RemoveObjectDelegates(this);
    m_names.clear();
    m_capture.Reset();
    m_focus.Reset();
    m_hover.Reset();
    // Windows that someone else still holds must not reach a dead system.
    m_root->SetUISystem(nullptr);
    m_root.Reset();
    m_keptImages.clear();
}

void CUISystem::Initialize()
{
    IUISystemDriver* driver = m_driver.Get();
    driver->AddMemberFunctionDelegate(UI_EVENT_FRAME_MOVE, this, &CUISystem::OnFrameMove);
    driver->AddMemberFunctionDelegate(UI_EVENT_PAINT, this, &CUISystem::OnPaint);
    driver->AddMemberFunctionDelegate(UI_EVENT_MOUSE_MOVE, this, &CUISystem::OnMouseMove);
    driver->AddMemberFunctionDelegate(UI_EVENT_MOUSE_WHEEL, this, &CUISystem::OnMouseWheel);
    driver->AddMemberFunctionDelegate(UI_EVENT_LBUTTON_DBLCLK, this, &CUISystem::OnLButtonDblClk);
    driver->AddMemberFunctionDelegate(UI_EVENT_LBUTTON_DOWN, this, &CUISystem::OnLButtonDown);
    driver->AddMemberFunctionDelegate(UI_EVENT_LBUTTON_UP, this, &CUISystem::OnLButtonUp);
    driver->AddMemberFunctionDelegate(UI_EVENT_RBUTTON_DOWN, this, &CUISystem::OnRButtonDown);
    driver->AddMemberFunctionDelegate(UI_EVENT_RBUTTON_UP, this, &CUISystem::OnRButtonUp);
    driver->AddMemberFunctionDelegate(UI_EVENT_KEY_DOWN, this, &CUISystem::OnKeyDown);
    driver->AddMemberFunctionDelegate(UI_EVENT_KEY_UP, this, &CUISystem::OnKeyUp);
    driver->AddMemberFunctionDelegate(UI_EVENT_CHAR, this, &CUISystem::OnChar);
    driver->AddMemberFunctionDelegate(UI_EVENT_SET_FOCUS, this, &CUISystem::OnFrameSetFocus);
    driver->AddMemberFunctionDelegate(UI_EVENT_KILL_FOCUS, this, &CUISystem::OnFrameKillFocus);
}

IUISystemDriver* CUISystem::GetDriver()
{
    return m_driver.Get();
}

IUIImage* CUISystem::CreateImage(const wchar_t* path)
{
    IUIImage* image = IImage_Create(GetDriver());
    if (image != nullptr)
        image->Load(path);
    return image;
}

void CUISystem::CreateAndKeepImage(const wchar_t* path)
{
    Common::TIntrusivePointer<IUIImage> image(CreateImage(path));
    if (!image.IsNull())
        m_keptImages.push_back(image);
}

IUIWindow* CUISystem::GetRootWindow()
{
    return m_root.Get();
}

void CUISystem::ResetWindowTree()
{
    CKeepAlive keepAlive(this);
    m_root->RemoveAllChildren();
    m_capture.Reset();
    SetFocus(nullptr);
    m_hover.Reset();
}

void CUISystem::LoadUI(const wchar_t* path)
{
    Common::TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    if (document.IsNull())
        return;
    m_root->LoadAttributes(document->LoadFromFile(path));
}

IUIWindow* CUISystem::CreateControl(const wchar_t* elementName)
{
    CUIWindow* control = CreateControlByElementName(elementName);
    if (control == nullptr)
        return nullptr;
    control->SetTypeName(elementName);
    control->SetUISystem(this);
    return control;
}

void CUISystem::SetFocus(IUIWindow* window)
{
    CUIWindow* target = CUIWindow::AsCUIWindow(window);
    if (target != nullptr) {
        m_driver->SetFocusToFrame();
        if (!target->IsFocusable())
            return;
    }
    if (target == m_focus.Get())
        return;
    // Focus handlers may drop the last reference to us, remove windows or
    // move the focus again.
    CKeepAlive keepAlive(this);
    Common::TIntrusivePointer<CUIWindow> previous = m_focus;
    Common::TIntrusivePointer<CUIWindow> next(target);
    // The new focus is stored first, so that a focus-lost handler finds the
    // focus already gone and does not lose it a second time.
    m_focus = next;
    if (!previous.IsNull())
        previous->KillFocus();
    // Told only while it still holds the focus: a focus-lost handler may
    // have moved it on.
    if (!next.IsNull() && m_focus == next)
        next->SetFocus(false);
}

IUIWindow* CUISystem::GetFocusWindow()
{
    return m_focus.Get();
}

void CUISystem::SetCapture(IUIWindow* window)
{
    m_capture = Common::TIntrusivePointer<CUIWindow>(CUIWindow::AsCUIWindow(window));
    m_driver->SetCapture();
}

void CUISystem::ReleaseCapture()
{
    m_capture.Reset();
    m_driver->ReleaseCapture();
}

IUIWindow* CUISystem::GetCaptureWindow()
{
    return m_capture.Get();
}

void CUISystem::SetClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_clip = tagClipState{enabled, x, y, width, height};
    m_driver->SetClipRect(enabled, x, y, width, height);
}

void CUISystem::GetClipRect(bool* enabled, int32_t* x, int32_t* y, int32_t* width, int32_t* height)
{
    if (enabled != nullptr)
        *enabled = m_clip.enabled;
    if (x != nullptr)
        *x = m_clip.x;
    if (y != nullptr)
        *y = m_clip.y;
    if (width != nullptr)
        *width = m_clip.width;
    if (height != nullptr)
        *height = m_clip.height;
}

void CUISystem::PushClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_clipStack.push_back(m_clip);
    int32_t left = x, top = y;
    if (m_clip.enabled) {
        left = std::max(m_clip.x, x);
        top = std::max(m_clip.y, y);
        const int32_t right = std::min(m_clip.x + m_clip.width, x + width);
        const int32_t bottom = std::min(m_clip.y + m_clip.height, y + height);
        width = right - left > 0 ? right - left : 0;
        height = bottom - top > 0 ? bottom - top : 0;
    }
    SetClipRect(enabled, left, top, width, height);
}

void CUISystem::PopClipRect()
{
    if (m_clipStack.empty())
        return;
    const tagClipState saved = m_clipStack.back();
    m_clipStack.pop_back();
    SetClipRect(saved.enabled, saved.x, saved.y, saved.width, saved.height);
}

IUIWindow* CUISystem::WindowFromPoint(int32_t x, int32_t y)
{
    return m_root->WindowFromPoint(x, y);
}

void CUISystem::SetClickSuppressed(bool suppressed) { m_clickSuppressed = suppressed; }
bool CUISystem::IsClickSuppressed() { return m_clickSuppressed; }
void CUISystem::SetPickNamedWindows(bool pick) { m_pickNamedWindows = pick; }
bool CUISystem::IsPickNamedWindows() { return m_pickNamedWindows; }
void CUISystem::Reserved(Common::TIntrusivePointer<IUIWindow>) {}

void CUISystem::RegisterWindowName(const wchar_t* name, const Common::TIntrusivePointer<IUIWindow>& window)
{
    if (name == nullptr || name[0] == L'\0')
        return;
    m_names[name] = window;
}

void CUISystem::UnregisterWindowName(const wchar_t* name)
{
    if (name != nullptr)
        m_names.erase(name);
}

void CUISystem::UnregisterWindowName(const wchar_t* name, IUIWindow* window)
{
    if (name == nullptr)
        return;
    auto entry = m_names.find(name);
    if (entry != m_names.end() && entry->second.Get() == window)
        m_names.erase(entry);
}

Common::TIntrusivePointer<IUIWindow> CUISystem::FindRegisteredWindow(const wchar_t* name)
{
    if (name == nullptr)
        return Common::TIntrusivePointer<IUIWindow>();
    auto entry = m_names.find(name);
    return entry != m_names.end() ? entry->second : Common::TIntrusivePointer<IUIWindow>();
}

void CUISystem::ReleaseHoldsOn(IUIWindow* window)
{
    if (window == nullptr)
        return;
    if (m_focus.Get() != nullptr && static_cast<IUIWindow*>(m_focus.Get()) == window)
        SetFocus(nullptr);
    if (m_capture.Get() != nullptr && static_cast<IUIWindow*>(m_capture.Get()) == window)
        ReleaseCapture();
    if (m_hover.Get() != nullptr && static_cast<IUIWindow*>(m_hover.Get()) == window)
        m_hover.Reset();
}

Common::TIntrusivePointer<CUIWindow> CUISystem::DispatchTarget() const
{
    return m_capture.IsNull() ? m_root : m_capture;
}

void CUISystem::OnFrameMove(void*, Common::tagEventArgs* args)
{
    CKeepAlive keepAlive(this);
    Fire(kUISystemFrameMoveEvent, static_cast<IUISystem*>(this), args);
    Common::TIntrusivePointer<CUIWindow> root = m_root;
    root->OnFrameMove(static_cast<tagUIFrameMoveEventArgs*>(args)->elapsedMs);
}

void CUISystem::OnPaint(void*, Common::tagEventArgs*)
{
    CKeepAlive keepAlive(this);
    // Whatever the windows push, the clip is as the paint found it afterwards.
    const size_t clipDepth = m_clipStack.size();
    Common::TIntrusivePointer<IUISystemDriver> driver = m_driver;
    driver->BeginPaint();
    driver->EndPaint();
    Common::TIntrusivePointer<CUIWindow> root = m_root;
    if (!root.IsNull())
        root->OnPaint();
    driver->BeginPaint();
    driver->EndPaint();
    while (m_clipStack.size() > clipDepth)
        PopClipRect();
}

template <typename Call>
void CUISystem::TellFocusWindow(Call call)
{
    CKeepAlive keepAlive(this);
    Common::TIntrusivePointer<CUIWindow> focus = m_focus;
    if (!focus.IsNull())
        call(*focus);
}

void CUISystem::OnKeyDown(void*, Common::tagEventArgs* args)
{
    const int32_t key = static_cast<tagUIKeyEventArgs*>(args)->virtualKey;
    TellFocusWindow([key](CUIWindow& focus) { focus.OnKeyDown(key); });
}

void CUISystem::OnKeyUp(void*, Common::tagEventArgs* args)
{
    const int32_t key = static_cast<tagUIKeyEventArgs*>(args)->virtualKey;
    TellFocusWindow([key](CUIWindow& focus) { focus.OnKeyUp(key); });
}

void CUISystem::OnChar(void*, Common::tagEventArgs* args)
{
    const wchar_t character = static_cast<tagUICharEventArgs*>(args)->character;
    TellFocusWindow([character](CUIWindow& focus) { focus.OnChar(character); });
}

void CUISystem::OnFrameSetFocus(void*, Common::tagEventArgs*)
{
    TellFocusWindow([](CUIWindow& focus) { focus.SetFocus(true); });
}

void CUISystem::OnFrameKillFocus(void*, Common::tagEventArgs*)
{
    TellFocusWindow([](CUIWindow& focus) { focus.KillFocus(); });
}

void CUISystem::RouteToTarget(MouseHandler handler, Common::tagEventArgs* args)
{
    CKeepAlive keepAlive(this);
    bool continueRouting = true;
    (DispatchTarget().Get()->*handler)(MouseArgs(args).x, MouseArgs(args).y, &continueRouting);
}

void CUISystem::OnLButtonDblClk(void*, Common::tagEventArgs* args)
{
    RouteToTarget(&CUIWindow::OnLButtonDblClk, args);
}

void CUISystem::OnLButtonDown(void*, Common::tagEventArgs* args)
{
    RouteToTarget(&CUIWindow::OnLButtonDown, args);
}

void CUISystem::OnLButtonUp(void*, Common::tagEventArgs* args)
{
    CKeepAlive keepAlive(this);
    RouteToTarget(&CUIWindow::OnLButtonUp, args);
    ReleaseCapture();
}

void CUISystem::OnRButtonDown(void*, Common::tagEventArgs* args)
{
    RouteToTarget(&CUIWindow::OnRButtonDown, args);
}

void CUISystem::OnRButtonUp(void*, Common::tagEventArgs* args)
{
    RouteToTarget(&CUIWindow::OnRButtonUp, args);
}

void CUISystem::OnMouseMove(void*, Common::tagEventArgs* args)
{
    CKeepAlive keepAlive(this);
    const int32_t x = MouseArgs(args).x, y = MouseArgs(args).y;
    m_lastMouseX = x;
    m_lastMouseY = y;
    if (m_capture.IsNull())
        TrackHover(x, y);
    RouteToTarget(&CUIWindow::OnMouseMove, args);
}

void CUISystem::OnMouseWheel(void*, Common::tagEventArgs* args)
{
    CKeepAlive keepAlive(this);
    Common::TIntrusivePointer<CUIWindow> target(CUIWindow::AsCUIWindow(WindowFromPoint(m_lastMouseX, m_lastMouseY)));
    if (!target.IsNull())
        target->OnMouseWheel(static_cast<tagUIMouseWheelEventArgs*>(args)->steps);
}

void CUISystem::TrackHover(int32_t x, int32_t y)
{
    Common::TIntrusivePointer<CUIWindow> under(CUIWindow::AsCUIWindow(WindowFromPoint(x, y)));
    if (under == m_hover)
        return;
    Common::TIntrusivePointer<CUIWindow> previous = m_hover;
    if (!previous.IsNull())
        previous->OnMouseLeave(x, y);
    if (!under.IsNull())
        under->OnMouseEnter(x, y);
    // A handler may have taken the window out of the tree meanwhile.
    m_hover = (!under.IsNull() && under->GetUISystem() == this) ? under : Common::TIntrusivePointer<CUIWindow>();
}

IUISystem* IUISystem_Create(IUISystemDriver* driver)
{
    if (driver == nullptr)
        Common::EngineFatalError("A UI system needs a driver");
    return new (std::nothrow) CUISystem(driver);
}

} // namespace DirectUI
} // namespace RVGameEngine
