#include "engine/directui/controls/CProcessBar.h"

#include "engine/filesystem/documents/IXmlElement.h"

#include <cmath>

namespace RVGameEngine {
namespace DirectUI {

namespace {

float ClampedFraction(float value)
{
    if (std::isnan(value) || value < 0.0f)
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

} // namespace

void CProcessBar::OnPaint()
{
    if (!IsVisible())
        return;
    IUIImage* picture = GetBackgroundImage();
    const int32_t shownWidth = ShownWidth();
    if (picture != nullptr && shownWidth > 0)
        picture->DrawCropped(GetAnchoredX(), GetAnchoredY(), shownWidth, GetHeight(), GetBackgroundImageColor());
}

int32_t CProcessBar::ShownWidth()
{
    // A description may store a fraction outside 0 to 1 (or none at all).
    const double fraction = ClampedFraction(m_progress);
    return static_cast<int32_t>(static_cast<double>(GetWidth()) * fraction);
}

void CProcessBar::ResetBackgroundImage() {}

void CProcessBar::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_progress = element->GetAttributeFloat(L"Process");
    Invalidate();
}

void CProcessBar::SetProgress(float progress)
{
    const float clamped = ClampedFraction(progress);
    if (clamped != m_progress)
        Invalidate();
    m_progress = clamped;
}

float CProcessBar::GetProgress() { return m_progress; }

} // namespace DirectUI
} // namespace RVGameEngine
