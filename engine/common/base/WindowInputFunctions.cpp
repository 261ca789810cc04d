#include "engine/common/base/WindowInputFunctions.h"

namespace RVGameEngine {
namespace Common {

namespace {

constexpr int32_t kWheelNotch = 120;

tagWindowInput Key(enmWindowInput kind, bool systemKey, WPARAM wParam)
{
    tagWindowInput input;
    input.kind = kind;
    input.systemKey = systemKey;
    input.key = static_cast<uint32_t>(wParam);
    return input;
}

tagWindowInput Mouse(enmWindowInput kind, LPARAM lParam)
{
    tagWindowInput input;
    input.kind = kind;
    input.x = static_cast<int16_t>(LOWORD(lParam));
    input.y = static_cast<int16_t>(HIWORD(lParam));
    return input;
}

tagWindowInput Only(enmWindowInput kind)
{
    tagWindowInput input;
    input.kind = kind;
    return input;
}

} // namespace

tagWindowInput ReadWindowInput(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        return Key(WINDOW_INPUT_KEY_DOWN, false, wParam);
    case WM_SYSKEYDOWN:
        return Key(WINDOW_INPUT_KEY_DOWN, true, wParam);
    case WM_KEYUP:
        return Key(WINDOW_INPUT_KEY_UP, false, wParam);
    case WM_SYSKEYUP:
        return Key(WINDOW_INPUT_KEY_UP, true, wParam);
    case WM_CHAR: {
        tagWindowInput input = Only(WINDOW_INPUT_CHAR);
        input.character = static_cast<uint16_t>(LOWORD(wParam));
        return input;
    }
    case WM_MOUSEMOVE:
        return Mouse(WINDOW_INPUT_MOUSE_MOVE, lParam);
    case WM_LBUTTONDOWN:
        return Mouse(WINDOW_INPUT_LBUTTON_DOWN, lParam);
    case WM_LBUTTONUP:
        return Mouse(WINDOW_INPUT_LBUTTON_UP, lParam);
    case WM_LBUTTONDBLCLK:
        return Mouse(WINDOW_INPUT_LBUTTON_DBLCLK, lParam);
    case WM_RBUTTONDOWN:
        return Mouse(WINDOW_INPUT_RBUTTON_DOWN, lParam);
    case WM_RBUTTONUP:
        return Mouse(WINDOW_INPUT_RBUTTON_UP, lParam);
    case WM_RBUTTONDBLCLK:
        return Mouse(WINDOW_INPUT_RBUTTON_DBLCLK, lParam);
    case WM_MOUSEWHEEL: {
        // The wheel message's position is on the screen, not in the window:
        // it is left out.
        tagWindowInput input = Only(WINDOW_INPUT_MOUSE_WHEEL);
        input.wheelSteps = static_cast<int16_t>(HIWORD(wParam)) / kWheelNotch;
        return input;
    }
    case WM_SETFOCUS:
        return Only(WINDOW_INPUT_SET_FOCUS);
    case WM_KILLFOCUS:
        return Only(WINDOW_INPUT_KILL_FOCUS);
    default:
        return tagWindowInput();
    }
}

} // namespace Common
} // namespace RVGameEngine
