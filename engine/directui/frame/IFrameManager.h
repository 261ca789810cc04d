#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/IVector.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IEditBox;
class IMultilineEditBox;

// Events the frame manager raises (sender: the manager).
enum enmFrameManagerEvent : int32_t
{
    FRAME_MANAGER_EVENT_FRAME_MOVE = 0,
    FRAME_MANAGER_EVENT_KEY_DOWN = 1,
    FRAME_MANAGER_EVENT_KEY_UP = 2,
    FRAME_MANAGER_EVENT_EDIT_BOX_CONTEXT_MENU = 3,
    FRAME_MANAGER_EVENT_MULTILINE_EDIT_BOX_CONTEXT_MENU = 4,
};

struct RV_API tagFrameManagerFrameMoveEventArgs : public Common::tagEventArgs
{
    int32_t elapsedMs = 0;
};

struct RV_API tagFrameManagerKeyEventArgs : public Common::tagEventArgs
{
    uint32_t virtualKey = 0;
};

// The frame is empty when the box is not hosted by a frame.
struct RV_API tagFrameManagerEditBoxContextMenuEventArgs : public Common::tagEventArgs
{
    Common::TIntrusivePointer<IFrame> frame;
    IEditBox* editBox = nullptr;
    int32_t x = 0;
    int32_t y = 0;
};

struct RV_API tagFrameManagerMultilineEditBoxContextMenuEventArgs : public Common::tagEventArgs
{
    Common::TIntrusivePointer<IFrame> frame;
    IMultilineEditBox* editBox = nullptr;
    int32_t x = 0;
    int32_t y = 0;
};

// The process-wide owner of the frame window class and of the main loop:
// maps window handles to frames and ticks every frame.
class RV_API IFrameManager : public Common::CEventDelegateManager
{
public:
    // Starts GDI+ and registers the frame window class "RVFRAME"; returns the
    // class atom, 0 on failure. Once, at engine start-up.
    virtual ATOM Initialize() = 0;
    // Makes the frame the one whose destruction ends the running loop.
    virtual void SetMainFrame(IFrame* frame) = 0;
    // Removes and dispatches messages without waiting until WM_QUIT; ticks
    // after every mouse move and, with tickOnIdle, whenever the queue is
    // empty. Loops nest; the loop frame is restored when one returns.
    virtual void RunMessageLoop(IFrame* loopFrame, bool tickOnIdle) = 0;
    virtual void RunFrameLoop(IFrame* frame) = 0;
    // Ends the innermost running loop.
    virtual void Quit() = 0;
    // One frame-move tick: the manager's event first, then every frame's.
    virtual void Tick() = 0;
    // The work area of the loop frame's monitor (the primary monitor without
    // a loop frame).
    virtual void GetMonitorWorkArea(int* x, int* y, int* width, int* height) = 0;
    virtual bool IsAppActive() = 0;
    // Screen coordinates.
    virtual void GetCursorPos(int* x, int* y) = 0;
    // The first frame, in window-handle order, of exactly that name.
    virtual Common::TIntrusivePointer<IFrame> FindFrame(const wchar_t* name) = 0;
    // Every registered frame, in window-handle order.
    virtual Common::TIntrusivePointer<Common::IVector> GetFrames() = 0;
};

// Made on the first call (on the UI thread) and kept for the process's life;
// null only when it cannot be made.
RV_API IFrameManager* IFrameManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
