#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// Ids of the events a device fires through its event manager, with the
// device as sender.
enum enmDeviceEvent : int32_t
{
    DEVICE_EVENT_KEY_DOWN = 0,          // tagKeyEventArgs
    DEVICE_EVENT_KEY_UP = 1,            // tagKeyEventArgs
    DEVICE_EVENT_CHAR = 2,              // tagCharEventArgs
    DEVICE_EVENT_SET_FOCUS = 3,         // tagFocusEventArgs
    DEVICE_EVENT_KILL_FOCUS = 4,        // tagFocusEventArgs
    DEVICE_EVENT_LBUTTON_DBLCLK = 5,    // tagMouseEventArgs, then LBUTTON_DOWN
    DEVICE_EVENT_LBUTTON_DOWN = 6,
    DEVICE_EVENT_LBUTTON_UP = 7,        // after LBUTTON_CLICK
    DEVICE_EVENT_RBUTTON_DBLCLK = 8,    // then RBUTTON_DOWN
    DEVICE_EVENT_RBUTTON_DOWN = 9,
    DEVICE_EVENT_RBUTTON_UP = 10,
    DEVICE_EVENT_MOUSE_MOVE = 11,
    DEVICE_EVENT_MOUSE_WHEEL = 12,      // tagMouseWheelEventArgs
    DEVICE_EVENT_DEVICE_CLOSE = 13,     // tagDeviceCloseEventArgs
    DEVICE_EVENT_DEVICE_CLOSED = 14,    // tagDeviceClosedEventArgs
    DEVICE_EVENT_DEVICE_SET_CURSOR = 15,// tagDeviceSetCursorEventArgs
    DEVICE_EVENT_LBUTTON_CLICK = 16,    // tagMouseEventArgs
    DEVICE_EVENT_DEVICE_RESETTING = 17, // plain tagEventArgs, before a reset
    DEVICE_EVENT_DEVICE_RESET = 18,     // plain tagEventArgs, after it
    DEVICE_EVENT_TICK = 19,             // plain tagEventArgs
};

} // namespace Device
} // namespace RVGameEngine
