#include "engine/directui/uisystem/CUIWindow.h"

#include "engine/directui/uisystem/IPanel.h"
#include "engine/directui/uisystem/IUIHoverListener.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

// The window base: focus and capture, hover and wheel, routing of mouse
// input down the tree, keys, and hit testing.

namespace RVGameEngine {
namespace DirectUI {

void CUIWindow::CaptureMouse()
{
    if (m_system != nullptr)
        m_system->SetCapture(AsWindow());
}

// A window gives up only a capture it holds: another window (an app panel
// that took a press over for its drag) may hold it while a release, real or
// synthetic, reaches this one.
void CUIWindow::ReleaseMouse()
{
    if (m_system != nullptr && m_system->GetCaptureWindow() == AsWindow())
        m_system->ReleaseCapture();
}

bool CUIWindow::IsFocusable() { return false; }

void CUIWindow::SetFocus(bool)
{
    Common::tagEventArgs args;
    Fire(WINDOW_EVENT_FOCUS_GAINED, AsWindow(), &args);
}

void CUIWindow::KillFocus()
{
    Common::tagEventArgs args;
    Fire(WINDOW_EVENT_FOCUS_LOST, AsWindow(), &args);
}

bool CUIWindow::IsClickSuppressed()
{
    return m_system != nullptr && m_system->IsClickSuppressed();
}

void CUIWindow::SetHoverListener(IUIHoverListener* listener) { m_hoverListener = listener; }

void CUIWindow::SetHoverWindow(IUIWindow* window)
{
    m_hoverWindow = Common::TIntrusivePointer<IUIWindow>(window);
}

void CUIWindow::SetHoverWindowByName(const wchar_t* name)
{
    IUIWindow* found = nullptr;
    if (m_system != nullptr && m_system->GetRootWindow() != nullptr)
        found = m_system->GetRootWindow()->FindWindow(name);
    SetHoverWindow(found);
    if (found != nullptr)
        found->Hide();
}

void CUIWindow::SetWheelTarget(IUIWindow* window)
{
    m_wheelTarget = Common::TIntrusivePointer<IUIWindow>(window);
}

void CUIWindow::OnMouseEnter(int32_t x, int32_t y)
{
    TellHover(true, x, y);
}

void CUIWindow::OnMouseLeave(int32_t x, int32_t y)
{
    TellHover(false, x, y);
}

void CUIWindow::TellHover(bool entered, int32_t x, int32_t y)
{
    if (m_hoverListener != nullptr)
        entered ? m_hoverListener->OnHoverEnter(AsWindow()) : m_hoverListener->OnHoverLeave(AsWindow());
    if (!m_hoverWindow.IsNull())
        entered ? m_hoverWindow->Show() : m_hoverWindow->Hide();
    tagWindowMouseEventArgs args;
    args.x = x;
    args.y = y;
    Fire(entered ? WINDOW_EVENT_MOUSE_ENTER : WINDOW_EVENT_MOUSE_LEAVE, AsWindow(), &args);
}

void CUIWindow::OnMouseWheel(int32_t steps)
{
    ForwardWheel(steps);
}

void CUIWindow::ForwardWheel(int32_t steps)
{
    Common::TIntrusivePointer<IUIWindow> target = m_wheelTarget;
    CUIWindow* next = AsCUIWindow(target.Get());
    if (next == nullptr || m_forwardingWheel || next->m_forwardingWheel)
        return;
    m_forwardingWheel = true;
    next->OnMouseWheel(steps);
    m_forwardingWheel = false;
}

template <typename Handler>
void CUIWindow::RouteMouse(int32_t eventId, Handler handler, int32_t x, int32_t y, bool* continueRouting,
                           bool hitTest)
{
    if (!m_visible || !m_enabled)
        return;
    bool localFlag = true;
    if (continueRouting == nullptr)
        continueRouting = &localFlag;
    for (CUIWindow& child : VisitChildren(enmVisitOrder::LastToFirst, enmSelfHold::HeldByDispatch)) {
        if (child.m_visible && child.m_enabled && (!hitTest || child.HitTest(x, y))) {
            // Most windows have no handler: skip building and firing a record.
            if (child.HasSubscriber(eventId)) {
                tagWindowMouseEventArgs args;
                args.x = x;
                args.y = y;
                child.Fire(eventId, child.AsWindow(), &args);
                if (!args.continueRouting) {
                    *continueRouting = false;
                    return;
                }
                // A handler that removed its own window took the input with it.
                if (!child.IsChildOf(this))
                    continue;
            }
            (child.*handler)(x, y, continueRouting);
        }
        if (!*continueRouting)
            return;
    }
}

void CUIWindow::OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_LBUTTON_DBLCLK, &CUIWindow::OnLButtonDblClk, x, y, continueRouting, true);
}

void CUIWindow::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (m_frameDrag && HitTest(x, y)) {
        if (m_driver != nullptr)
            m_driver->BeginWindowDrag();
        return;
    }
    RouteMouse(WINDOW_EVENT_LBUTTON_DOWN, &CUIWindow::OnLButtonDown, x, y, continueRouting, true);
}

void CUIWindow::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_LBUTTON_UP, &CUIWindow::OnLButtonUp, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_DBLCLK, &CUIWindow::OnRButtonDblClk, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_DOWN, &CUIWindow::OnRButtonDown, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_UP, &CUIWindow::OnRButtonUp, x, y, continueRouting, true);
}

void CUIWindow::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_MOUSE_MOVE, &CUIWindow::OnMouseMove, x, y, continueRouting, false);
}

void CUIWindow::OnKeyDown(int32_t virtualKey)
{
    tagWindowKeyEventArgs args;
    args.key = virtualKey;
    Fire(WINDOW_EVENT_KEY_DOWN, AsWindow(), &args);
}

void CUIWindow::OnKeyUp(int32_t virtualKey)
{
    tagWindowKeyEventArgs args;
    args.key = virtualKey;
    Fire(WINDOW_EVENT_KEY_UP, AsWindow(), &args);
}

void CUIWindow::OnChar(wchar_t character)
{
    tagWindowCharEventArgs args;
    args.character = character;
    Fire(WINDOW_EVENT_CHAR, AsWindow(), &args);
}

bool CUIWindow::HitTest(int32_t x, int32_t y)
{
    return PtInWindow(x, y, GetAnchoredX(), GetAnchoredY(), m_width + m_extraReactWidth, m_height);
}

bool CUIWindow::PtInWindow(int32_t px, int32_t py, int32_t x, int32_t y, int32_t width, int32_t height)
{
    return x <= px && px <= x + width && y <= py && py <= y + height;
}

IUIWindow* CUIWindow::WindowFromPoint(int32_t x, int32_t y)
{
    if (!m_visible || !HitTest(x, y))
        return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CUIWindow* child = it->Get();
        if (child == nullptr || !child->m_visible || !child->HitTest(x, y))
            continue;
        if (IUIWindow* found = child->WindowFromPoint(x, y))
            return found;
    }
    if (m_system != nullptr && m_system->IsPickNamedWindows() && !m_name.empty())
        return AsWindow();
    // A bare panel only groups its children: the point goes through it.
    if (m_backgroundImage.IsNull() && dynamic_cast<IPanel*>(this) != nullptr)
        return nullptr;
    if (m_penetrable)
        return nullptr;
    return AsWindow();
}

} // namespace DirectUI
} // namespace RVGameEngine
