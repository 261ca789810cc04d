#include "engine/directui/controls/CButton.h"

#include "engine/directui/controls/CImageStrip.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

// Frames for the up, hover, down and disabled looks: a three-frame strip has
// no hover look of its own.
constexpr int32_t kThreeFrameLooks[4] = {0, 0, 1, 2};
constexpr int32_t kFourFrameLooks[4] = {0, 1, 2, 3};

} // namespace

CButton::CButton() : m_click(this, {false, true})
{
    m_hover.window = AsWindow();
    // The button draws its title itself, in the colour of its state.
    SetControlDrawsTitle(true);
}

// ---- Input -------------------------------------------------------------------

void CButton::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    m_click.Press(x, y, continueRouting);
}

void CButton::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!m_click.Release(x, y, continueRouting))
        return;
    m_click.CountAndLog(L"Button", L"Clicked");
    tagButtonClickedEventArgs args;
    Fire(kButtonClickedEvent, static_cast<IButton*>(this), &args);
}

void CButton::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    m_click.FollowHover(m_hover, x, y, continueRouting);
}

void CButton::OnFrameMove(int32_t elapsedMs)
{
    m_hover.Tick(elapsedMs);
}

// ---- Painting ------------------------------------------------------------------

void CButton::OnPaint()
{
    if (!IsVisible())
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    DrawLook(x, y);
    const tagColor tint = GetBackgroundImageColor();
    for (const tagButtonOverlayImage& overlay : m_overlays)
        overlay.image->DrawStretched(x + overlay.x, y + overlay.y, overlay.width, overlay.height, tint);
    DrawTitle(TitleColorOfState());
    CUIWindow::OnPaint();
}

void CButton::DrawLook(int32_t x, int32_t y)
{
    const int32_t width = GetWidth(), height = GetHeight();
    const tagColor tint = GetBackgroundImageColor();
    if (!IsEnabled()) {
        if (!m_disabledImage.IsNull())
            m_disabledImage->DrawStretched(x, y, width, height, tint);
    } else if (m_click.IsPressed()) {
        if (!m_downImage.IsNull())
            m_downImage->DrawStretched(x, y, width, height, tint);
    } else {
        m_hover.Draw(x, y, width, height, m_upImage, m_hoverImage, tint);
    }
}

tagColor CButton::TitleColorOfState()
{
    if (!m_stateColorsOn)
        return GetTitleColor();
    if (!IsEnabled())
        return m_disabledColor;
    if (m_click.IsPressed())
        return m_downColor;
    return m_hover.hovering ? m_hoverColor : m_upColor;
}

// ---- Loading -------------------------------------------------------------------

void CButton::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    // The common loader takes a "Smart" strip as the background picture.
    SetBackgroundImage(nullptr);
    LoadLooks(element);
    m_hover.animated =
        element->HasAttribute(L"EnableHoverAnimation") ? element->GetAttributeBool(L"EnableHoverAnimation") : true;
    Invalidate();
}

void CButton::LoadLooks(Common::IXmlElement* element)
{
    const CImageStrip threeFrames(this, element, L"Smart3", 3);
    const CImageStrip fourFrames(this, element, L"Smart", 4);
    const CImageStrip& strip = threeFrames.IsPresent() ? threeFrames : fourFrames;
    if (strip.IsPresent()) {
        TakeLooksFromStrip(strip, threeFrames.IsPresent() ? kThreeFrameLooks : kFourFrameLooks);
        SetWidth(strip.GetFrameWidth());
        SetHeight(strip.GetFrameHeight());
        return;
    }
    m_upImage = Image(LoadImageFromXml(element, L"Up"));
    m_downImage = Image(LoadImageFromXml(element, L"Down"));
    m_hoverImage = Image(LoadImageFromXml(element, L"Hover"));
    m_disabledImage = Image(LoadImageFromXml(element, L"Disabled"));
}

void CButton::TakeLooksFromStrip(const CImageStrip& strip, const int32_t (&frames)[4])
{
    m_upImage = strip.CutFrame(frames[0]);
    m_hoverImage = strip.CutFrame(frames[1]);
    m_downImage = strip.CutFrame(frames[2]);
    m_disabledImage = strip.CutFrame(frames[3]);
}

void CButton::SetSmartImage(const wchar_t* fileName)
{
    const CImageStrip strip(GetDriver(), fileName, 4);
    if (strip.IsPresent())
        TakeLooksFromStrip(strip, kFourFrameLooks);
}

void CButton::ResetBackgroundImage()
{
    m_upImage.Reset();
    m_downImage.Reset();
    m_hoverImage.Reset();
    m_disabledImage.Reset();
}

// ---- Images and colours ----------------------------------------------------------

void CButton::AddImage(int32_t x, int32_t y, int32_t width, int32_t height, IUIImage* image)
{
    if (image == nullptr)
        return;
    m_overlays.push_back({x, y, width, height, Image(image)});
    Invalidate();
}

void CButton::ClearImages()
{
    m_overlays.clear();
    Invalidate();
}

void CButton::EnableHoverAnimation(bool on) { m_hover.animated = on; }
bool CButton::IsHoverAnimationEnabled() { return m_hover.animated; }

void CButton::SetImage(Image& slot, IUIImage* image)
{
    slot = Image(image);
    Invalidate();
}

void CButton::SetUpImage(IUIImage* image) { SetImage(m_upImage, image); }
IUIImage* CButton::GetUpImage() { return m_upImage.Get(); }
void CButton::SetDownImage(IUIImage* image) { SetImage(m_downImage, image); }
IUIImage* CButton::GetDownImage() { return m_downImage.Get(); }
void CButton::SetHoverImage(IUIImage* image) { SetImage(m_hoverImage, image); }
IUIImage* CButton::GetHoverImage() { return m_hoverImage.Get(); }
void CButton::SetDisabledImage(IUIImage* image) { SetImage(m_disabledImage, image); }
IUIImage* CButton::GetDisabledImage() { return m_disabledImage.Get(); }

void CButton::SetStateColor(tagColor& slot, tagColor color)
{
    slot = color;
    m_stateColorsOn = true;
}

void CButton::SetUpColor(tagColor color) { SetStateColor(m_upColor, color); }
tagColor CButton::GetUpColor() { return m_upColor; }
void CButton::SetDownColor(tagColor color) { SetStateColor(m_downColor, color); }
tagColor CButton::GetDownColor() { return m_downColor; }
void CButton::SetHoverColor(tagColor color) { SetStateColor(m_hoverColor, color); }
tagColor CButton::GetHoverColor() { return m_hoverColor; }
void CButton::SetDisabledColor(tagColor color) { SetStateColor(m_disabledColor, color); }
tagColor CButton::GetDisabledColor() { return m_disabledColor; }

} // namespace DirectUI
} // namespace RVGameEngine
