#include "engine/directui/uisystem/CUIWindow.h"

#include "engine/directui/uisystem/WindowEventArgs.h"

// The window base: redraw requests, painting with clipping, and ticks.

namespace RVGameEngine {
namespace DirectUI {

void CUIWindow::Invalidate()
{
    if (IsVisibleInTree())
        InvalidateOnHide();
}

void CUIWindow::InvalidateOnHide()
{
    if (m_driver != nullptr)
        m_driver->Invalidate(GetAnchoredX(), GetAnchoredY(), m_width, m_height);
}

void CUIWindow::OnRectChanged()
{
    if (m_parent != nullptr)
        m_parent->Invalidate();
    else if (m_driver != nullptr)
        m_driver->InvalidateAll();
}

bool CUIWindow::IsClippedOut(IUIWindow* window)
{
    if (window == nullptr)
        return true;
    if (m_system == nullptr)
        return false;
    bool enabled = false;
    int32_t x = 0, y = 0, width = 0, height = 0;
    m_system->GetClipRect(&enabled, &x, &y, &width, &height);
    if (!enabled)
        return false;
    return RectOutside(x, y, width, height, window->GetAnchoredX(), window->GetAnchoredY(), window->GetWidth(),
                       window->GetHeight());
}

bool CUIWindow::RectOutside(int32_t ax, int32_t ay, int32_t aw, int32_t ah, int32_t bx, int32_t by, int32_t bw,
                            int32_t bh)
{
    return ax + aw < bx || bx + bw < ax || ay + ah < by || by + bh < ay;
}

void CUIWindow::OnPaint()
{
    if (!m_visible)
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    if (!m_backgroundImage.IsNull())
        m_backgroundImage->DrawStretched(x, y, m_width, m_height, m_backgroundImageColor);
    if (!m_controlDrawsTitle)
        DrawTitle(m_titleColor);
    PaintChildren();
    if ((IsRootOrTopLevel() || m_commitsString) && m_driver != nullptr) {
        m_driver->BeginPaint();
        m_driver->EndPaint();
    }
}

void CUIWindow::PaintChildren()
{
    if (m_children.empty())
        return;
    // Every push is popped on the same stack, even when a paint handler takes
    // this window (or an ancestor) out of its UI system; the UI system holds
    // itself for the whole paint.
    IUISystem* const system = m_system;
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast, enmSelfHold::HeldByDispatch)) {
        if (!child.m_visible || IsClippedOut(child.AsWindow()))
            continue;
        if (system != nullptr)
            system->PushClipRect(true, child.GetAnchoredX(), child.GetAnchoredY(), child.GetWidth(), child.GetHeight());
        child.OnPaint();
        tagWindowPaintEventArgs args;
        child.Fire(WINDOW_EVENT_PAINT, child.AsWindow(), &args);
        if (system != nullptr)
            system->PopClipRect();
        // A subtree that left its UI system is painted no further.
        if (m_system != system)
            return;
    }
}

bool CUIWindow::IsRootOrTopLevel()
{
    if (m_system == nullptr)
        return m_parent == nullptr;
    IUIWindow* root = m_system->GetRootWindow();
    return root == AsWindow() || (m_parent != nullptr && root == m_parent->AsWindow());
}

void CUIWindow::DrawTitle(tagColor color)
{
    const std::wstring& text = m_maxBytesShow > 0 ? m_shownTitle : m_title;
    if (text.empty() || m_driver == nullptr)
        return;
    m_driver->DrawText(m_titleFont, text.c_str(), color, GetAnchoredX() + m_titleStartPos, GetAnchoredY(), m_width,
                       m_height, m_titleAlign);
}

void CUIWindow::OnFrameMove(int32_t elapsedMs)
{
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast, enmSelfHold::HeldByDispatch))
        child.OnFrameMove(elapsedMs);
}

void CUIWindow::OnHideTree()
{
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast))
        child.OnHideTree();
}

void CUIWindow::OnShowTree()
{
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast))
        child.OnShowTree();
}

} // namespace DirectUI
} // namespace RVGameEngine
