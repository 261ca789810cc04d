#include "engine/directui/controls/CTrackBar.h"

#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

using ImagePointer = Common::TIntrusivePointer<IUIImage>;

float LimitPosition(float position)
{
    // A position that is not a number counts as the left end.
    if (!(position > 0.0f))
        return 0.0f;
    return position > 1.0f ? 1.0f : position;
}

} // namespace

void CTrackBar::SetPosition(float position)
{
    position = LimitPosition(position);
    if (position != m_position)
        Invalidate();
    m_position = position;
}

float CTrackBar::GetPosition() { return m_position; }
void CTrackBar::SetDraggable(bool draggable) { m_draggable = draggable; }
bool CTrackBar::IsDraggable() { return m_draggable; }
void CTrackBar::ResetBackgroundImage() {}

void CTrackBar::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    // A description may say anything: the thumb stays within its track.
    m_position = LimitPosition(element->GetAttributeFloat(L"Process"));
    if (element->HasAttribute(L"Draggable"))
        m_draggable = element->GetAttributeBool(L"Draggable");
    m_barUp = ImagePointer(LoadImageFromXml(element, L"Bar_Up"));
    m_barDown = ImagePointer(LoadImageFromXml(element, L"Bar_Down"));
    m_barHover = ImagePointer(LoadImageFromXml(element, L"Bar_Hover"));
    m_barDisabled = ImagePointer(LoadImageFromXml(element, L"Bar_Disabled"));
    Invalidate();
}

int32_t CTrackBar::ThumbWidth() { return m_barUp.IsNull() ? 0 : m_barUp->GetWidth(); }
int32_t CTrackBar::Travel() { return GetWidth() - ThumbWidth(); }
int32_t CTrackBar::ThumbOffset() { return static_cast<int32_t>(static_cast<float>(Travel()) * m_position); }

bool CTrackBar::InThumb(int32_t x, int32_t y)
{
    return PtInWindow(x, y, GetAnchoredX() + ThumbOffset(), GetAnchoredY(), ThumbWidth(), GetHeight());
}

void CTrackBar::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnLButtonDown(x, y, routing.Get());
    if (!routing.IsUntaken() || !m_draggable || !InThumb(x, y))
        return;
    m_dragging = true;
    CaptureMouse();
    Invalidate();
    routing.Take();
    m_pressX = x;
    m_pressBarX = ThumbOffset();
}

void CTrackBar::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnMouseMove(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    if (m_dragging) {
        const int32_t travel = Travel();
        // With no room to travel the thumb stays at the left end.
        const float position =
            travel > 0 ? static_cast<float>(x - m_pressX + m_pressBarX) / static_cast<float>(travel) : 0.0f;
        m_position = LimitPosition(position);
        tagTrackBarScrolledEventArgs args;
        Fire(kTrackBarScrolledEvent, static_cast<ITrackBar*>(this), &args);
        Invalidate();
    }
    const bool hover = InThumb(x, y);
    if (hover != m_hover) {
        m_hover = hover;
        Invalidate();
    }
}

void CTrackBar::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnLButtonUp(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    ReleaseMouse();
    if (m_dragging && InThumb(x, y))
        routing.Take();
    m_dragging = false;
    Invalidate();
}

IUIImage* CTrackBar::ThumbImage()
{
    if (!IsEnabled())
        return m_barDisabled.Get();
    if (m_dragging)
        return m_barDown.Get();
    return m_hover ? m_barHover.Get() : m_barUp.Get();
}

void CTrackBar::OnPaint()
{
    if (!IsVisible())
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    const tagColor color = GetBackgroundImageColor();
    if (IUIImage* filled = GetBackgroundImage())
        filled->DrawCropped(x, y, ThumbWidth() / 2 + ThumbOffset(), GetHeight(), color);
    if (IUIImage* thumb = ThumbImage()) {
        const int32_t offset = static_cast<int32_t>(static_cast<float>(GetWidth() - thumb->GetWidth()) * m_position);
        thumb->Draw(x + offset, y, color);
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
