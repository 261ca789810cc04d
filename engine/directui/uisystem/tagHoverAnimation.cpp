#include "engine/directui/uisystem/tagHoverAnimation.h"

#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

namespace {
constexpr float kFadePerMs = 6.0f / 1000.0f;
}

void tagHoverAnimation::RequestRedraw()
{
    if (window != nullptr)
        window->Invalidate();
}

void tagHoverAnimation::CheckCursorStillOver()
{
    if (window == nullptr || !hovering)
        return;
    IUISystem* system = window->GetUISystem();
    IUISystemDriver* driver = system != nullptr ? system->GetDriver() : nullptr;
    HWND frameWindow = driver != nullptr ? driver->GetFrameHandle() : nullptr;
    POINT cursor = {};
    if (frameWindow == nullptr || !GetCursorPos(&cursor) || !ScreenToClient(frameWindow, &cursor))
        return;
    if (!window->HitTest(cursor.x, cursor.y)) {
        hovering = false;
        RequestRedraw();
    }
}

void tagHoverAnimation::Tick(int32_t elapsedMs)
{
    CheckCursorStillOver();
    if (!animated) {
        const float wanted = hovering ? 1.0f : 0.0f;
        if (level != wanted) {
            level = wanted;
            RequestRedraw();
        }
        return;
    }
    if (!rising && hovering)
        rising = true;
    const float step = static_cast<float>(elapsedMs) * kFadePerMs;
    if (rising) {
        if (level < 1.0f) {
            level = level + step > 1.0f ? 1.0f : level + step;
            RequestRedraw();
        } else if (!hovering) {
            rising = false;
        }
    } else if (level > 0.0f) {
        level = level - step < 0.0f ? 0.0f : level - step;
        RequestRedraw();
    }
}

void tagHoverAnimation::Draw(int32_t x, int32_t y, int32_t width, int32_t height,
                             const Common::TIntrusivePointer<IUIImage>& normal,
                             const Common::TIntrusivePointer<IUIImage>& hover, tagColor color)
{
    if (animated) {
        const int32_t alpha = static_cast<int32_t>(level * 255.0f);
        if (!normal.IsNull() && alpha < 255)
            normal->DrawStretched(x, y, width, height, color);
        // The hover picture fades in over the normal one.
        if (!hover.IsNull() && alpha > 0)
            hover->DrawStretched(x, y, width, height, tagColor(255, 255, 255, static_cast<uint8_t>(alpha)));
        return;
    }
    const Common::TIntrusivePointer<IUIImage>& shown = hovering ? hover : normal;
    if (!shown.IsNull())
        shown->DrawStretched(x, y, width, height, color);
}

} // namespace DirectUI
} // namespace RVGameEngine
