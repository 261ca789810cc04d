#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IUIWindow;

// The hover fade of buttons and check boxes: the hover picture fades in over
// a sixth of a second while the mouse is over the window, and out after it
// leaves; a started fade-in runs to full before the fade-out begins.
struct RV_API tagHoverAnimation
{
    IUIWindow* window = nullptr;
    bool hovering = false;
    bool animated = true;
    float level = 0.0f;
    bool rising = false;

    void Tick(int32_t elapsedMs);
    void Draw(int32_t x, int32_t y, int32_t width, int32_t height, const Common::TIntrusivePointer<IUIImage>& normal,
              const Common::TIntrusivePointer<IUIImage>& hover, tagColor color);

private:
    // The mouse may leave without a move reaching the window (it left the frame).
    void CheckCursorStillOver();
    void RequestRedraw();
};

} // namespace DirectUI
} // namespace RVGameEngine
