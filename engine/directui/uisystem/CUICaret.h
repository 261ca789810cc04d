#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IUISystemDriver;
class IUIWindow;

// The blinking caret of the text-input controls: 500 ms lit, 500 ms dark,
// lit again on every move. Its owner places, ticks and draws it.
class RV_API CUICaret
{
public:
    static constexpr uint32_t kBlinkHalfPeriodMs = 500;

    // Not owned: the control that holds the caret.
    void SetOwner(IUIWindow* owner) { m_owner = owner; }
    // Relative to the owner's origin; restarts the blink lit.
    void Show(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color);
    void Hide();
    void Update(uint32_t elapsedMs);
    void Draw(int32_t originX, int32_t originY);

    bool IsShown() const { return m_shown; }
    bool IsLit() const { return m_lit; }

private:
    // A move or a change of shown state redraws the owner; a blink, the caret.
    void RequestRedraw();
    void RequestBlinkRedraw();
    IUISystemDriver* OwnerDriver();

    IUIWindow* m_owner = nullptr;
    tagColor m_color{255, 255, 255, 255};
    bool m_shown = false;
    bool m_lit = false;
    int32_t m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    uint32_t m_elapsed = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
