#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The events a UI-system driver raises (sender: the driver).
enum enmUIEvent : int32_t
{
    UI_EVENT_FRAME_MOVE = 0,
    UI_EVENT_PAINT = 1,
    UI_EVENT_KEY_DOWN = 2,
    UI_EVENT_KEY_UP = 3,
    UI_EVENT_CHAR = 4,
    UI_EVENT_SET_FOCUS = 5,
    UI_EVENT_KILL_FOCUS = 6,
    UI_EVENT_LBUTTON_DBLCLK = 7,
    UI_EVENT_LBUTTON_DOWN = 8,
    UI_EVENT_LBUTTON_UP = 9,
    UI_EVENT_RBUTTON_DOWN = 10,
    UI_EVENT_RBUTTON_UP = 11,
    UI_EVENT_MOUSE_MOVE = 12,
    UI_EVENT_MOUSE_WHEEL = 13,
};

struct RV_API tagUIFrameMoveEventArgs : public Common::tagEventArgs
{
    int32_t elapsedMs = 0;
};

struct RV_API tagUIPaintEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagUIKeyEventArgs : public Common::tagEventArgs
{
    int32_t virtualKey = 0;
};

struct RV_API tagUICharEventArgs : public Common::tagEventArgs
{
    wchar_t character = 0;
};

struct RV_API tagUIFocusEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagUIMouseEventArgs : public Common::tagEventArgs
{
    int32_t x = 0;
    int32_t y = 0;
};

// Carries no position: the wheel goes to the window under the last move.
struct RV_API tagUIMouseWheelEventArgs : public Common::tagEventArgs
{
    int32_t steps = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
