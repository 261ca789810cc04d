#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Event a vertical bar raises when the user moves its position (sender:
// its IScrollBar), with tagScrollBarScrolledEventArgs.
constexpr int32_t kScrollBarScrolledEvent = 16;

struct RV_API tagScrollBarScrolledEventArgs : public Common::tagEventArgs
{
};

// A skinned vertical scroll bar over a range, a page and a position, with
// arrow buttons at both ends.
class RV_API IScrollBar : public virtual IUIWindow
{
public:
    virtual bool IsDragging() = 0;
    virtual void RaiseScrolled() = 0;
    // Makes the arrow buttons through the UI system; needs the bar in one.
    virtual void CreateButtons() = 0;
    virtual void SetRange(int32_t range) = 0;
    virtual int32_t GetRange() = 0;
    // Held within 0 and range - page; raises no event.
    virtual void SetPosition(int32_t position) = 0;
    virtual int32_t GetPosition() = 0;
    virtual void SetPage(int32_t page) = 0;
    virtual int32_t GetPage() = 0;
    virtual void SetStep(int32_t step) = 0;
    virtual int32_t GetStep() = 0;
    // Image setters keep a reference and redraw nothing; getters hand out
    // the held image without one.
    virtual void SetBackImage(IUIImage* image) = 0;
    virtual IUIImage* GetBackImage() = 0;
    virtual void SetUpUpImage(IUIImage* image) = 0;
    virtual IUIImage* GetUpUpImage() = 0;
    virtual void SetUpDownImage(IUIImage* image) = 0;
    virtual IUIImage* GetUpDownImage() = 0;
    virtual void SetUpHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetUpHoverImage() = 0;
    virtual void SetUpDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetUpDisabledImage() = 0;
    virtual void SetDownUpImage(IUIImage* image) = 0;
    virtual IUIImage* GetDownUpImage() = 0;
    virtual void SetDownDownImage(IUIImage* image) = 0;
    virtual IUIImage* GetDownDownImage() = 0;
    virtual void SetDownHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetDownHoverImage() = 0;
    virtual void SetDownDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetDownDisabledImage() = 0;
    virtual void SetBarUpImage(IUIImage* image) = 0;
    virtual IUIImage* GetBarUpImage() = 0;
    virtual void SetBarDownImage(IUIImage* image) = 0;
    virtual IUIImage* GetBarDownImage() = 0;
    virtual void SetBarHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetBarHoverImage() = 0;
    virtual void SetBarDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetBarDisabledImage() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
