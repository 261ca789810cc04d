#include "engine/directui/controls/CScrollBar.h"

namespace RVGameEngine {
namespace DirectUI {

CScrollBar::CScrollBar() : TScrollBarWindow(false) {}

void CScrollBar::ResetBackgroundImage()
{
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BACK, CScrollBarCore::IMAGE_BACK);
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BAR_UP, CScrollBarCore::IMAGE_BAR_DISABLED);
}

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
