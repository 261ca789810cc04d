#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// The input a window message carries. The game's window and the UI
// toolkit's frames read their messages the same way and raise their own
// events from this.
enum enmWindowInput
{
    WINDOW_INPUT_NONE,
    WINDOW_INPUT_KEY_DOWN,
    WINDOW_INPUT_KEY_UP,
    WINDOW_INPUT_CHAR,
    WINDOW_INPUT_MOUSE_MOVE,
    WINDOW_INPUT_LBUTTON_DOWN,
    WINDOW_INPUT_LBUTTON_UP,
    WINDOW_INPUT_LBUTTON_DBLCLK,
    WINDOW_INPUT_RBUTTON_DOWN,
    WINDOW_INPUT_RBUTTON_UP,
    WINDOW_INPUT_RBUTTON_DBLCLK,
    WINDOW_INPUT_MOUSE_WHEEL,
    WINDOW_INPUT_SET_FOCUS,
    WINDOW_INPUT_KILL_FOCUS,
};

struct tagWindowInput
{
    enmWindowInput kind = WINDOW_INPUT_NONE;
    // A key message of the system (Alt held, or F10).
    bool systemKey = false;
    // The virtual-key code of a key message.
    uint32_t key = 0;
    // The UTF-16 unit of a character message.
    uint16_t character = 0;
    // The client position of a mouse button or move message.
    int32_t x = 0;
    int32_t y = 0;
    // Whole notches of a wheel message, toward zero; a part notch is 0.
    int32_t wheelSteps = 0;
};

// The events a window raises for one kind of input, in order: a second of
// -1 means none (a double click, for one, is also a press).
struct tagWindowInputEvents
{
    enmWindowInput kind;
    int32_t first;
    int32_t second;
};

} // namespace Common
} // namespace RVGameEngine
