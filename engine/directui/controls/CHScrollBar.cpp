#include "engine/directui/controls/CHScrollBar.h"

namespace RVGameEngine {
namespace DirectUI {

CHScrollBar::CHScrollBar() : m_core(this, true, [this]() { RaiseScrolled(); }) {}

void CHScrollBar::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) { m_core.OnLButtonDown(x, y, continueRouting); }
void CHScrollBar::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) { m_core.OnLButtonUp(x, y, continueRouting); }
void CHScrollBar::OnMouseMove(int32_t x, int32_t y, bool* continueRouting) { m_core.OnMouseMove(x, y, continueRouting); }
void CHScrollBar::OnPaint() { m_core.OnPaint(); }
void CHScrollBar::OnMouseWheel(int32_t steps) { m_core.OnMouseWheel(steps); }

void CHScrollBar::ResetBackgroundImage()
{
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BACK, CScrollBarCore::IMAGE_BAR_DISABLED);
}

void CHScrollBar::SetRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    CUIWindow::SetRect(x, y, width, height);
    m_core.LayoutButtons();
}

void CHScrollBar::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_core.LoadImages(element);
    CreateButtons();
    Invalidate();
}

bool CHScrollBar::IsDragging() { return m_core.IsDragging(); }

void CHScrollBar::RaiseScrolled()
{
    tagHScrollBarScrolledEventArgs args;
    Fire(kHScrollBarScrolledEvent, static_cast<IHScrollBar*>(this), &args);
}

void CHScrollBar::CreateButtons() { m_core.CreateButtons(); }
void CHScrollBar::SetRange(int32_t range) { m_core.SetRange(range); }
int32_t CHScrollBar::GetRange() { return m_core.GetRange(); }
void CHScrollBar::SetPosition(int32_t position) { m_core.SetPosition(position); }
int32_t CHScrollBar::GetPosition() { return m_core.GetPosition(); }
void CHScrollBar::SetPage(int32_t page) { m_core.SetPage(page); }
int32_t CHScrollBar::GetPage() { return m_core.GetPage(); }
void CHScrollBar::SetStep(int32_t step) { m_core.SetStep(step); }
int32_t CHScrollBar::GetStep() { return m_core.GetStep(); }

} // namespace DirectUI
} // namespace RVGameEngine
