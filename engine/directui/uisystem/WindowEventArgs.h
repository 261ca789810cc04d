#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The events every window raises (sender: the window's IUIWindow). Controls
// number their own events from kFirstControlEvent.
enum enmWindowEvent : int32_t
{
    WINDOW_EVENT_PAINT = 0,
    WINDOW_EVENT_KEY_DOWN = 1,
    WINDOW_EVENT_KEY_UP = 2,
    WINDOW_EVENT_CHAR = 3,
    WINDOW_EVENT_LBUTTON_DBLCLK = 4,
    WINDOW_EVENT_LBUTTON_DOWN = 5,
    WINDOW_EVENT_LBUTTON_UP = 6,
    WINDOW_EVENT_RBUTTON_DBLCLK = 7,
    WINDOW_EVENT_RBUTTON_DOWN = 8,
    WINDOW_EVENT_RBUTTON_UP = 9,
    WINDOW_EVENT_MOUSE_MOVE = 10,
    WINDOW_EVENT_MOUSE_ENTER = 11,
    WINDOW_EVENT_MOUSE_LEAVE = 12,
    WINDOW_EVENT_FOCUS_GAINED = 13,
    WINDOW_EVENT_FOCUS_LOST = 14,
};

constexpr int32_t kFirstControlEvent = 16;

struct RV_API tagWindowPaintEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagWindowKeyEventArgs : public Common::tagEventArgs
{
    int32_t key = -1;
};

struct RV_API tagWindowCharEventArgs : public Common::tagEventArgs
{
    wchar_t character = 0;
};

// A handler of a routed mouse event clears continueRouting to take the
// input: the window's own handler then does not run and routing stops.
struct RV_API tagWindowMouseEventArgs : public Common::tagEventArgs
{
    int32_t x = 0;
    int32_t y = 0;
    bool continueRouting = true;
};

struct RV_API tagWindowMouseWheelEventArgs : public Common::tagEventArgs
{
    int32_t steps = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
