#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Event a horizontal bar raises when the user moves its position (sender:
// its IHScrollBar), with tagHScrollBarScrolledEventArgs.
constexpr int32_t kHScrollBarScrolledEvent = 16;

struct RV_API tagHScrollBarScrolledEventArgs : public Common::tagEventArgs
{
};

// A skinned horizontal scroll bar over a range, a page and a position, with
// arrow buttons at both ends.
class RV_API IHScrollBar : public virtual IUIWindow
{
public:
    virtual bool IsDragging() = 0;
    virtual void SetRange(int32_t range) = 0;
    virtual int32_t GetRange() = 0;
    // Held within 0 and range - page; raises no event.
    virtual void SetPosition(int32_t position) = 0;
    virtual int32_t GetPosition() = 0;
    virtual void SetPage(int32_t page) = 0;
    virtual int32_t GetPage() = 0;
    virtual void SetStep(int32_t step) = 0;
    virtual int32_t GetStep() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
