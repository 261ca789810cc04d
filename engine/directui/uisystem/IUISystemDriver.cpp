#include "engine/directui/uisystem/IUISystemDriver.h"

#include "engine/directui/uisystem/UIEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

void IUISystemDriver::RaiseFrameMove(int32_t elapsedMs)
{
    tagUIFrameMoveEventArgs args;
    args.elapsedMs = elapsedMs;
    Fire(UI_EVENT_FRAME_MOVE, this, &args);
}

void IUISystemDriver::RaisePaint()
{
    tagUIPaintEventArgs args;
    Fire(UI_EVENT_PAINT, this, &args);
}

void IUISystemDriver::RaiseKeyDown(int32_t virtualKey)
{
    tagUIKeyEventArgs args;
    args.virtualKey = virtualKey;
    Fire(UI_EVENT_KEY_DOWN, this, &args);
}

void IUISystemDriver::RaiseKeyUp(int32_t virtualKey)
{
    tagUIKeyEventArgs args;
    args.virtualKey = virtualKey;
    Fire(UI_EVENT_KEY_UP, this, &args);
}

void IUISystemDriver::RaiseChar(wchar_t character)
{
    tagUICharEventArgs args;
    args.character = character;
    Fire(UI_EVENT_CHAR, this, &args);
}

void IUISystemDriver::RaiseSetFocus()
{
    tagUIFocusEventArgs args;
    Fire(UI_EVENT_SET_FOCUS, this, &args);
}

void IUISystemDriver::RaiseKillFocus()
{
    tagUIFocusEventArgs args;
    Fire(UI_EVENT_KILL_FOCUS, this, &args);
}

void IUISystemDriver::RaiseLButtonDown(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_LBUTTON_DOWN, x, y); }
void IUISystemDriver::RaiseLButtonUp(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_LBUTTON_UP, x, y); }
void IUISystemDriver::RaiseMouseMove(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_MOUSE_MOVE, x, y); }
void IUISystemDriver::RaiseLButtonDblClk(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_LBUTTON_DBLCLK, x, y); }
void IUISystemDriver::RaiseRButtonDown(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_RBUTTON_DOWN, x, y); }
void IUISystemDriver::RaiseRButtonUp(int32_t x, int32_t y) { RaiseMouse(UI_EVENT_RBUTTON_UP, x, y); }

void IUISystemDriver::RaiseMouseWheel(int32_t steps)
{
    tagUIMouseWheelEventArgs args;
    args.steps = steps;
    Fire(UI_EVENT_MOUSE_WHEEL, this, &args);
}

void IUISystemDriver::RaiseMouse(int32_t eventId, int32_t x, int32_t y)
{
    tagUIMouseEventArgs args;
    args.x = x;
    args.y = y;
    Fire(eventId, this, &args);
}

} // namespace DirectUI
} // namespace RVGameEngine
