#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// A panel the user drags with the mouse, by any point or by a drag bar,
// optionally kept inside a bounding rectangle.
class RV_API IDialog : public virtual IUIWindow
{
public:
    // The rectangle is in the coordinates of the window's own X and Y. The
    // setters only store: nothing moves or redraws.
    virtual void SetBounding(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // The bar is relative to the dialog's anchored position.
    virtual void SetDragBar(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void SetMovable(bool movable) = 0;
    virtual bool GetMovable() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
