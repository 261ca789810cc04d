#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/CClickSequence.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/tagHoverAnimation.h"

namespace RVGameEngine {
namespace DirectUI {

class CImageStrip;

// The skinned two-state box. Which looks exist decides how it paints: six
// looks (hover and disabled for both states), four (one disabled look, no
// hover when checked) or two (checked and unchecked only).
class RV_API CCheckBox : public CUIWindow, public ICheckBox
{
public:
    CCheckBox();

    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;

    // IUIWindow
    // Releases the six looks and nothing else.
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // ICheckBox
    void SetEnableHoverAnimation(bool on) override;
    bool GetEnableHoverAnimation() override;
    void SetChecked(bool checked) override;
    bool IsChecked() override;
    void SetAutoCheck(bool autoCheck) override;
    bool GetAutoCheck() override;
    void SetUncheckedImage(IUIImage* image) override;
    IUIImage* GetUncheckedImage() override;
    void SetUncheckedHoverImage(IUIImage* image) override;
    IUIImage* GetUncheckedHoverImage() override;
    void SetUncheckedDisabledImage(IUIImage* image) override;
    IUIImage* GetUncheckedDisabledImage() override;
    void SetCheckedImage(IUIImage* image) override;
    IUIImage* GetCheckedImage() override;
    void SetCheckedHoverImage(IUIImage* image) override;
    IUIImage* GetCheckedHoverImage() override;
    void SetCheckedDisabledImage(IUIImage* image) override;
    IUIImage* GetCheckedDisabledImage() override;

private:
    using Image = Common::TIntrusivePointer<IUIImage>;

    void ReportClick();
    bool LoadLooksFromStrip(Common::IXmlElement* element);
    void TakeLooksFromStrip(const CImageStrip& strip, Image* const* slots, int32_t frameCount);
    void ClearLooks();
    void LoadSeparateLooks(Common::IXmlElement* element);
    void SetImage(Image& slot, IUIImage* image);
    // The look that shows, drawn with or without the hover fade.
    void DrawLook(int32_t x, int32_t y);
    void DrawUnscaled(const Image& image, int32_t x, int32_t y);
    void DrawWithHover(const Image& normal, const Image& hover, int32_t x, int32_t y);

    CClickSequence m_click;
    bool m_checked = false;
    bool m_autoCheck = false;
    Image m_uncheckedImage, m_uncheckedHoverImage, m_uncheckedDisabledImage;
    Image m_checkedImage, m_checkedHoverImage, m_checkedDisabledImage;
    tagHoverAnimation m_hover;
};

} // namespace DirectUI
} // namespace RVGameEngine
