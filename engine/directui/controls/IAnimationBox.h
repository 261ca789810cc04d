#pragma once

#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// Raised when an animation reaches its end (sender: the IAnimationBox).
constexpr int32_t kAnimationBoxAnimationEndEvent = 16;

struct RV_API tagAnimationBoxAnimationEndEventArgs : public Common::tagEventArgs
{
};

// How a played animation ends.
enum enmAnimationMode : int32_t
{
    ANIMATION_MODE_LOOP = 0,
    ANIMATION_MODE_HOLD_LAST = 1,
    ANIMATION_MODE_CLEAR = 2,
    ANIMATION_MODE_CLEAR_AND_HIDE = 3,
};

// A frame animation stretched over the window, timed by the tree's ticks.
class RV_API IAnimationBox : public virtual IUIWindow
{
public:
    virtual void AddFrame(IUIImage* image) = 0;
    virtual void Resume() = 0;
    // Restarts from the first frame with the ending mode.
    virtual void Play(int32_t mode) = 0;
    virtual bool IsPlaying() = 0;
    virtual void Pause() = 0;
    virtual int32_t GetFramesPerSecond() = 0;
    virtual void SetFramesPerSecond(int32_t framesPerSecond) = 0;
    virtual bool IsRunning() = 0;
    // Decodes every frame ahead of the first paint.
    virtual void PrepareFrames() = 0;
    virtual void ClearFrames() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
