#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/CClickSequence.h"
#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/tagButtonOverlayImage.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/tagHoverAnimation.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CImageStrip;

// The image button: disabled wins over pressed, pressed over hover; the
// hover look fades in and out with the frame ticks.
class RV_API CButton : public CUIWindow, public IButton
{
public:
    CButton();

    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;

    // IUIWindow
    // Empties the four state images; the background image stays.
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // IButton
    void AddImage(int32_t x, int32_t y, int32_t width, int32_t height, IUIImage* image) override;
    void ClearImages() override;
    void EnableHoverAnimation(bool on) override;
    bool IsHoverAnimationEnabled() override;
    void SetUpImage(IUIImage* image) override;
    IUIImage* GetUpImage() override;
    void SetDownImage(IUIImage* image) override;
    IUIImage* GetDownImage() override;
    void SetHoverImage(IUIImage* image) override;
    IUIImage* GetHoverImage() override;
    void SetDisabledImage(IUIImage* image) override;
    IUIImage* GetDisabledImage() override;
    void SetUpColor(tagColor color) override;
    tagColor GetUpColor() override;
    void SetDownColor(tagColor color) override;
    tagColor GetDownColor() override;
    void SetHoverColor(tagColor color) override;
    tagColor GetHoverColor() override;
    void SetDisabledColor(tagColor color) override;
    tagColor GetDisabledColor() override;
    void SetSmartImage(const wchar_t* fileName) override;

private:
    using Image = Common::TIntrusivePointer<IUIImage>;

    // Frames of the strip for the up, hover, down and disabled looks.
    void TakeLooksFromStrip(const CImageStrip& strip, const int32_t (&frames)[4]);
    void LoadLooks(Common::IXmlElement* element);
    void SetImage(Image& slot, IUIImage* image);
    void SetStateColor(tagColor& slot, tagColor color);
    void DrawLook(int32_t x, int32_t y);
    tagColor TitleColorOfState();

    Image m_upImage, m_downImage, m_hoverImage, m_disabledImage;
    std::vector<tagButtonOverlayImage> m_overlays;
    CClickSequence m_click;
    tagHoverAnimation m_hover;
    bool m_stateColorsOn = false;
    // Opaque white until set, like the window's own title colour.
    tagColor m_upColor{255, 255, 255, 255};
    tagColor m_downColor{255, 255, 255, 255};
    tagColor m_hoverColor{255, 255, 255, 255};
    tagColor m_disabledColor{255, 255, 255, 255};
};

} // namespace DirectUI
} // namespace RVGameEngine
