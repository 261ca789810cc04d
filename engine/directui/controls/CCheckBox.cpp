#include "engine/directui/controls/CCheckBox.h"

#include "engine/directui/controls/CImageStrip.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

CCheckBox::CCheckBox() : m_click(this, {true, false})
{
    m_hover.window = AsWindow();
}

// ---- Input -------------------------------------------------------------------

void CCheckBox::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    m_click.Press(x, y, continueRouting);
}

void CCheckBox::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (m_click.Release(x, y, continueRouting))
        ReportClick();
}

void CCheckBox::ReportClick()
{
    // Handlers read the new state: an auto-check box toggles first.
    if (m_autoCheck)
        m_checked = !m_checked;
    m_click.CountAndLog(L"CheckBox", !m_autoCheck ? L"Clicked" : m_checked ? L"Checked" : L"Unchecked");
    tagCheckBoxClickedEventArgs args;
    Fire(kCheckBoxClickedEvent, static_cast<ICheckBox*>(this), &args);
}

void CCheckBox::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    m_click.FollowHover(m_hover, x, y, continueRouting);
}

void CCheckBox::OnFrameMove(int32_t elapsedMs)
{
    m_hover.Tick(elapsedMs);
}

// ---- Painting ------------------------------------------------------------------

void CCheckBox::OnPaint()
{
    if (!IsVisible())
        return;
    DrawLook(GetAnchoredX(), GetAnchoredY());
    DrawTitle(GetTitleColor());
}

void CCheckBox::DrawLook(int32_t x, int32_t y)
{
    const bool enabled = IsEnabled();
    if (!m_checkedHoverImage.IsNull() || !m_checkedDisabledImage.IsNull()) {
        if (m_checked)
            enabled ? DrawWithHover(m_checkedImage, m_checkedHoverImage, x, y) : DrawUnscaled(m_checkedDisabledImage, x, y);
        else
            enabled ? DrawWithHover(m_uncheckedImage, m_uncheckedHoverImage, x, y)
                    : DrawUnscaled(m_uncheckedDisabledImage, x, y);
    } else if (!m_uncheckedHoverImage.IsNull() || !m_uncheckedDisabledImage.IsNull()) {
        // One disabled look for both states, and no hover look when checked.
        if (!enabled)
            DrawUnscaled(m_uncheckedDisabledImage, x, y);
        else if (m_checked)
            DrawUnscaled(m_checkedImage, x, y);
        else
            DrawWithHover(m_uncheckedImage, m_uncheckedHoverImage, x, y);
    } else {
        DrawUnscaled(m_checked ? m_checkedImage : m_uncheckedImage, x, y);
    }
}

void CCheckBox::DrawUnscaled(const Image& image, int32_t x, int32_t y)
{
    if (!image.IsNull())
        image->DrawCropped(x, y, GetWidth(), GetHeight(), GetBackgroundImageColor());
}

void CCheckBox::DrawWithHover(const Image& normal, const Image& hover, int32_t x, int32_t y)
{
    m_hover.Draw(x, y, GetWidth(), GetHeight(), normal, hover, GetBackgroundImageColor());
}

// ---- Loading -------------------------------------------------------------------

void CCheckBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    // A check box never shows the common loader's background picture.
    SetBackgroundImage(nullptr);
    if (!LoadLooksFromStrip(element))
        LoadSeparateLooks(element);
    m_checked = element->GetAttributeBool(L"Checked");
    m_autoCheck = element->GetAttributeBool(L"AutoCheck");
    m_hover.animated =
        element->HasAttribute(L"EnableHoverAnimation") ? element->GetAttributeBool(L"EnableHoverAnimation") : true;
    Invalidate();
}

bool CCheckBox::LoadLooksFromStrip(Common::IXmlElement* element)
{
    Image* const twoLooks[] = {&m_uncheckedImage, &m_checkedImage};
    Image* const fourLooks[] = {&m_uncheckedImage, &m_uncheckedHoverImage, &m_checkedImage,
                                &m_uncheckedDisabledImage};
    Image* const sixLooks[] = {&m_uncheckedImage, &m_uncheckedHoverImage, &m_uncheckedDisabledImage,
                               &m_checkedImage,   &m_checkedHoverImage,   &m_checkedDisabledImage};
    struct tagLayout
    {
        const wchar_t* tag;
        Image* const* slots;
        int32_t frameCount;
    };
    const tagLayout layouts[] = {{L"Smart2", twoLooks, 2}, {L"Smart4", fourLooks, 4}, {L"Smart6", sixLooks, 6}};
    for (const tagLayout& layout : layouts) {
        const CImageStrip strip(this, element, layout.tag, layout.frameCount);
        if (!strip.IsPresent())
            continue;
        TakeLooksFromStrip(strip, layout.slots, layout.frameCount);
        return true;
    }
    return false;
}

// The looks a layout has no frame for are left empty, whatever an earlier
// description put there.
void CCheckBox::TakeLooksFromStrip(const CImageStrip& strip, Image* const* slots, int32_t frameCount)
{
    ClearLooks();
    for (int32_t frame = 0; frame < frameCount; ++frame)
        *slots[frame] = strip.CutFrame(frame);
    SetWidth(strip.GetFrameWidth());
    SetHeight(strip.GetFrameHeight());
}

void CCheckBox::LoadSeparateLooks(Common::IXmlElement* element)
{
    m_uncheckedImage = Image(LoadImageFromXml(element, L"Unchecked"));
    m_uncheckedHoverImage = Image(LoadImageFromXml(element, L"Unchecked_Hover"));
    m_uncheckedDisabledImage = Image(LoadImageFromXml(element, L"Unchecked_Disabled"));
    m_checkedImage = Image(LoadImageFromXml(element, L"Checked"));
    m_checkedHoverImage = Image(LoadImageFromXml(element, L"Checked_Hover"));
    m_checkedDisabledImage = Image(LoadImageFromXml(element, L"Checked_Disabled"));
}

void CCheckBox::ResetBackgroundImage() { ClearLooks(); }

void CCheckBox::ClearLooks()
{
    for (Image* slot : {&m_uncheckedImage, &m_uncheckedHoverImage, &m_uncheckedDisabledImage, &m_checkedImage,
                        &m_checkedHoverImage, &m_checkedDisabledImage})
        slot->Reset();
}

// ---- State and images ----------------------------------------------------------

void CCheckBox::SetEnableHoverAnimation(bool on) { m_hover.animated = on; }
bool CCheckBox::GetEnableHoverAnimation() { return m_hover.animated; }

void CCheckBox::SetChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    Invalidate();
}

bool CCheckBox::IsChecked() { return m_checked; }
void CCheckBox::SetAutoCheck(bool autoCheck) { m_autoCheck = autoCheck; }
bool CCheckBox::GetAutoCheck() { return m_autoCheck; }

void CCheckBox::SetImage(Image& slot, IUIImage* image)
{
    slot = Image(image);
    Invalidate();
}

void CCheckBox::SetUncheckedImage(IUIImage* image) { SetImage(m_uncheckedImage, image); }
IUIImage* CCheckBox::GetUncheckedImage() { return m_uncheckedImage.Get(); }
void CCheckBox::SetUncheckedHoverImage(IUIImage* image) { SetImage(m_uncheckedHoverImage, image); }
IUIImage* CCheckBox::GetUncheckedHoverImage() { return m_uncheckedHoverImage.Get(); }
void CCheckBox::SetUncheckedDisabledImage(IUIImage* image) { SetImage(m_uncheckedDisabledImage, image); }
IUIImage* CCheckBox::GetUncheckedDisabledImage() { return m_uncheckedDisabledImage.Get(); }
void CCheckBox::SetCheckedImage(IUIImage* image) { SetImage(m_checkedImage, image); }
IUIImage* CCheckBox::GetCheckedImage() { return m_checkedImage.Get(); }
void CCheckBox::SetCheckedHoverImage(IUIImage* image) { SetImage(m_checkedHoverImage, image); }
IUIImage* CCheckBox::GetCheckedHoverImage() { return m_checkedHoverImage.Get(); }
void CCheckBox::SetCheckedDisabledImage(IUIImage* image) { SetImage(m_checkedDisabledImage, image); }
IUIImage* CCheckBox::GetCheckedDisabledImage() { return m_checkedDisabledImage.Get(); }

} // namespace DirectUI
} // namespace RVGameEngine
