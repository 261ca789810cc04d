#include "engine/directui/controls/CDialog.h"

#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

void CDialog::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnLButtonDown(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    if (m_movable && InDragArea(x, y)) {
        m_dragging = true;
        CaptureMouse();
        m_dragStartX = GetX();
        m_dragStartY = GetY();
        m_pressX = x;
        m_pressY = y;
        routing.Take();
    }
    // Presses on a dialog never reach the windows behind it.
    if (HitTest(x, y))
        routing.Take();
}

void CDialog::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnMouseMove(x, y, routing.Get());
    if (routing.IsUntaken() && m_dragging)
        MoveWithPointer(x, y);
}

void CDialog::MoveWithPointer(int32_t x, int32_t y)
{
    const int32_t width = GetWidth(), height = GetHeight();
    int32_t newX = m_dragStartX + (x - m_pressX);
    int32_t newY = m_dragStartY + (y - m_pressY);
    if (m_bounding.enabled) {
        if (newX + width > m_bounding.x + m_bounding.width)
            newX = m_bounding.x + m_bounding.width - width;
        if (newY + height > m_bounding.y + m_bounding.height)
            newY = m_bounding.y + m_bounding.height - height;
        // The left and top edges win for a dialog larger than the rectangle.
        if (newX < m_bounding.x)
            newX = m_bounding.x;
        if (newY < m_bounding.y)
            newY = m_bounding.y;
    }
    SetRect(newX, newY, width, height);
}

void CDialog::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnLButtonUp(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    ReleaseMouse();
    if (m_dragging && InDragArea(x, y))
        routing.Take();
    m_dragging = false;
    Invalidate();
}

void CDialog::OnHideTree()
{
    m_dragging = false;
    CUIWindow::OnHideTree();
}

bool CDialog::InDragArea(int32_t x, int32_t y)
{
    if (!HitTest(x, y))
        return false;
    if (!m_dragBar.enabled)
        return true;
    return PtInWindow(x, y, GetAnchoredX() + m_dragBar.x, GetAnchoredY() + m_dragBar.y, m_dragBar.width,
                      m_dragBar.height);
}

void CDialog::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_movable = element->GetAttributeBool(L"Movable");
    // The X attribute alone switches each rectangle on.
    SetBounding(element->HasAttribute(L"BoundingX"), element->GetAttributeInt(L"BoundingX"),
                element->GetAttributeInt(L"BoundingY"), element->GetAttributeInt(L"BoundingW"),
                element->GetAttributeInt(L"BoundingH"));
    SetDragBar(element->HasAttribute(L"DragBarX"), element->GetAttributeInt(L"DragBarX"),
               element->GetAttributeInt(L"DragBarY"), element->GetAttributeInt(L"DragBarW"),
               element->GetAttributeInt(L"DragBarH"));
    Invalidate();
}

void CDialog::SetBounding(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_bounding = {enabled, x, y, width, height};
}

void CDialog::SetDragBar(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_dragBar = {enabled, x, y, width, height};
}

void CDialog::SetMovable(bool movable) { m_movable = movable; }
bool CDialog::GetMovable() { return m_movable; }

} // namespace DirectUI
} // namespace RVGameEngine
