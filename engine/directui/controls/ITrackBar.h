#pragma once

#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// Raised on every drag step (sender: the ITrackBar); read GetPosition.
constexpr int32_t kTrackBarScrolledEvent = 16;

struct RV_API tagTrackBarScrolledEventArgs : public Common::tagEventArgs
{
};

// A horizontal slider whose thumb stands for a position from 0 to 1.
class RV_API ITrackBar : public virtual IUIWindow
{
public:
    // Limited to 0..1; no event.
    virtual void SetPosition(float position) = 0;
    virtual float GetPosition() = 0;
    virtual void SetDraggable(bool draggable) = 0;
    virtual bool IsDraggable() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
