#include "engine/directui/controls/CScrollBar.h"

namespace RVGameEngine {
namespace DirectUI {

CScrollBar::CScrollBar() : m_core(this, false, [this]() { RaiseScrolled(); }) {}

void CScrollBar::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) { m_core.OnLButtonDown(x, y, continueRouting); }
void CScrollBar::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) { m_core.OnLButtonUp(x, y, continueRouting); }
void CScrollBar::OnMouseMove(int32_t x, int32_t y, bool* continueRouting) { m_core.OnMouseMove(x, y, continueRouting); }
void CScrollBar::OnPaint() { m_core.OnPaint(); }
void CScrollBar::OnMouseWheel(int32_t steps) { m_core.OnMouseWheel(steps); }

void CScrollBar::ResetBackgroundImage()
{
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BACK, CScrollBarCore::IMAGE_BACK);
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BAR_UP, CScrollBarCore::IMAGE_BAR_DISABLED);
}

void CScrollBar::SetRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    CUIWindow::SetRect(x, y, width, height);
    m_core.LayoutButtons();
}

void CScrollBar::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_core.LoadImages(element);
    CreateButtons();
    Invalidate();
}

bool CScrollBar::IsDragging() { return m_core.IsDragging(); }

void CScrollBar::RaiseScrolled()
{
    tagScrollBarScrolledEventArgs args;
    Fire(kScrollBarScrolledEvent, static_cast<IScrollBar*>(this), &args);
}

void CScrollBar::CreateButtons() { m_core.CreateButtons(); }
void CScrollBar::SetRange(int32_t range) { m_core.SetRange(range); }
int32_t CScrollBar::GetRange() { return m_core.GetRange(); }
void CScrollBar::SetPosition(int32_t position) { m_core.SetPosition(position); }
int32_t CScrollBar::GetPosition() { return m_core.GetPosition(); }
void CScrollBar::SetPage(int32_t page) { m_core.SetPage(page); }
int32_t CScrollBar::GetPage() { return m_core.GetPage(); }
void CScrollBar::SetStep(int32_t step) { m_core.SetStep(step); }
int32_t CScrollBar::GetStep() { return m_core.GetStep(); }

void CScrollBar::SetBackImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_BACK, image); }
IUIImage* CScrollBar::GetBackImage() { return m_core.GetImage(CScrollBarCore::IMAGE_BACK); }
void CScrollBar::SetUpUpImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_FIRST_UP, image); }
IUIImage* CScrollBar::GetUpUpImage() { return m_core.GetImage(CScrollBarCore::IMAGE_FIRST_UP); }
void CScrollBar::SetUpDownImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_FIRST_DOWN, image); }
IUIImage* CScrollBar::GetUpDownImage() { return m_core.GetImage(CScrollBarCore::IMAGE_FIRST_DOWN); }
void CScrollBar::SetUpHoverImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_FIRST_HOVER, image); }
IUIImage* CScrollBar::GetUpHoverImage() { return m_core.GetImage(CScrollBarCore::IMAGE_FIRST_HOVER); }
void CScrollBar::SetUpDisabledImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_FIRST_DISABLED, image); }
IUIImage* CScrollBar::GetUpDisabledImage() { return m_core.GetImage(CScrollBarCore::IMAGE_FIRST_DISABLED); }
void CScrollBar::SetDownUpImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_SECOND_UP, image); }
IUIImage* CScrollBar::GetDownUpImage() { return m_core.GetImage(CScrollBarCore::IMAGE_SECOND_UP); }
void CScrollBar::SetDownDownImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_SECOND_DOWN, image); }
IUIImage* CScrollBar::GetDownDownImage() { return m_core.GetImage(CScrollBarCore::IMAGE_SECOND_DOWN); }
void CScrollBar::SetDownHoverImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_SECOND_HOVER, image); }
IUIImage* CScrollBar::GetDownHoverImage() { return m_core.GetImage(CScrollBarCore::IMAGE_SECOND_HOVER); }
void CScrollBar::SetDownDisabledImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_SECOND_DISABLED, image); }
IUIImage* CScrollBar::GetDownDisabledImage() { return m_core.GetImage(CScrollBarCore::IMAGE_SECOND_DISABLED); }
void CScrollBar::SetBarUpImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_BAR_UP, image); }
IUIImage* CScrollBar::GetBarUpImage() { return m_core.GetImage(CScrollBarCore::IMAGE_BAR_UP); }
void CScrollBar::SetBarDownImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_BAR_DOWN, image); }
IUIImage* CScrollBar::GetBarDownImage() { return m_core.GetImage(CScrollBarCore::IMAGE_BAR_DOWN); }
void CScrollBar::SetBarHoverImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_BAR_HOVER, image); }
IUIImage* CScrollBar::GetBarHoverImage() { return m_core.GetImage(CScrollBarCore::IMAGE_BAR_HOVER); }
void CScrollBar::SetBarDisabledImage(IUIImage* image) { m_core.SetImage(CScrollBarCore::IMAGE_BAR_DISABLED, image); }
IUIImage* CScrollBar::GetBarDisabledImage() { return m_core.GetImage(CScrollBarCore::IMAGE_BAR_DISABLED); }

} // namespace DirectUI
} // namespace RVGameEngine
