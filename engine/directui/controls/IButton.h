#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Event a button raises when clicked (sender: its IButton), with
// tagButtonClickedEventArgs.
constexpr int32_t kButtonClickedEvent = 16;

struct RV_API tagButtonClickedEventArgs : public Common::tagEventArgs
{
};

// An image button with up, down, hover and disabled looks, overlay images
// and a title whose colour may follow the state.
class RV_API IButton : public virtual IUIWindow
{
public:
    // Draws the image over the button at (x, y) relative to its corner; a
    // null image is ignored.
    virtual void AddImage(int32_t x, int32_t y, int32_t width, int32_t height, IUIImage* image) = 0;
    virtual void ClearImages() = 0;
    virtual void EnableHoverAnimation(bool on) = 0;
    virtual bool IsHoverAnimationEnabled() = 0;
    // Getters hand out the held image without a reference.
    virtual void SetUpImage(IUIImage* image) = 0;
    virtual IUIImage* GetUpImage() = 0;
    virtual void SetDownImage(IUIImage* image) = 0;
    virtual IUIImage* GetDownImage() = 0;
    virtual void SetHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetHoverImage() = 0;
    virtual void SetDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetDisabledImage() = 0;
    // Setting any state colour makes the button draw its title in the
    // colour of its state (white for states not given).
    virtual void SetUpColor(tagColor color) = 0;
    virtual tagColor GetUpColor() = 0;
    virtual void SetDownColor(tagColor color) = 0;
    virtual tagColor GetDownColor() = 0;
    virtual void SetHoverColor(tagColor color) = 0;
    virtual tagColor GetHoverColor() = 0;
    virtual void SetDisabledColor(tagColor color) = 0;
    virtual tagColor GetDisabledColor() = 0;
    // Cuts the four looks from a strip of four frames (up, hover, down,
    // disabled); the button keeps its size.
    virtual void SetSmartImage(const wchar_t* fileName) = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
