#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/ICursor.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Events a frame raises (sender: the frame), fixed numbers.
enum enmFrameEvent : int32_t
{
    FRAME_EVENT_KEY_DOWN = 0,
    FRAME_EVENT_KEY_UP = 1,
    FRAME_EVENT_CHAR = 2,
    FRAME_EVENT_LBUTTON_DBLCLK = 3,
    FRAME_EVENT_LBUTTON_DOWN = 4,
    FRAME_EVENT_LBUTTON_UP = 5,
    FRAME_EVENT_RBUTTON_DBLCLK = 6,
    FRAME_EVENT_RBUTTON_DOWN = 7,
    FRAME_EVENT_RBUTTON_UP = 8,
    FRAME_EVENT_MOUSE_MOVE = 9,
    FRAME_EVENT_MOUSE_WHEEL = 10,
    FRAME_EVENT_ACTIVATE = 11,
    FRAME_EVENT_FRAME_MOVE = 12,
    FRAME_EVENT_PAINT = 13,
    FRAME_EVENT_SET_FOCUS = 14,
    FRAME_EVENT_KILL_FOCUS = 15,
    FRAME_EVENT_CLOSE = 16,
    FRAME_EVENT_CLOSED = 17,
    FRAME_EVENT_DESTROYED = 18,
    FRAME_EVENT_HOT_KEY = 19,
    FRAME_EVENT_COPY_DATA = 20,
    FRAME_EVENT_SET_CURSOR = 21,
    FRAME_EVENT_TRAY_NOTIFY = 22,
    FRAME_EVENT_HIDDEN_ON_DEACTIVATE = 23,
    FRAME_EVENT_SOCKET_NOTIFY = 24,
    FRAME_EVENT_USER_MESSAGE = 25,
    FRAME_EVENT_DROP_FILES = 26,
};

// The tray icon's identifier and callback message, and the message through
// which the window-message socket driver's sockets report to their frame.
constexpr UINT kFrameTrayIconId = 501;
constexpr UINT kFrameTrayMessage = 1525;
constexpr UINT kFrameSocketMessage = 1625;

struct RV_API tagFrameKeyEventArgs : public Common::tagEventArgs
{
    uint32_t virtualKey = 0;
};

struct RV_API tagFrameCharEventArgs : public Common::tagEventArgs
{
    wchar_t character = 0;
};

struct RV_API tagFrameMouseEventArgs : public Common::tagEventArgs
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t wheelSteps = 0;
};

struct RV_API tagFrameActivateEventArgs : public Common::tagEventArgs
{
    bool active = true;
};

struct RV_API tagFrameFrameMoveEventArgs : public Common::tagEventArgs
{
    int32_t elapsedMs = 0;
};

struct RV_API tagFramePaintEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagFrameFocusEventArgs : public Common::tagEventArgs
{
};

// A handler sets cancel to keep the frame open.
struct RV_API tagFrameCloseEventArgs : public Common::tagEventArgs
{
    bool cancel = false;
};

struct RV_API tagFrameClosedEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagFrameDestroyedEventArgs : public Common::tagEventArgs
{
};

struct RV_API tagFrameHotKeyEventArgs : public Common::tagEventArgs
{
    uint32_t hotKeyId = 0;
};

struct RV_API tagFrameAnyMsgEventArgs : public Common::tagEventArgs
{
    HWND window = nullptr;
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A handler that sets handled chooses the cursor (none: no cursor at all).
struct RV_API tagFrameSetCursorEventArgs : public Common::tagEventArgs
{
    int32_t x = 0;
    int32_t y = 0;
    bool handled = false;
    Common::TIntrusivePointer<ICursor> cursor;
};

struct RV_API tagFrameDropFilesEventArgs : public Common::tagEventArgs
{
    HDROP drop = nullptr;
};

} // namespace DirectUI
} // namespace RVGameEngine
