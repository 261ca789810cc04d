#pragma once

#include "engine/scene/ISceneObject2D.h"
#include "engine/video/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

// Play modes of a sprite instance.
enum enmAnimationMode : uint32_t
{
    ANIMATION_MODE_LOOP = 0,
    ANIMATION_MODE_ONCE = 1,      // stops on the last frame
    ANIMATION_MODE_PING_PONG = 2, // forwards, then backwards; end frames show twice
};

// A playing copy of a sprite: its own animation, clock, play mode, colour
// and blend mode. The shown frame follows the clock from the next Update.
class RV_API ISpriteInstance2D : public ISceneObject2D
{
public:
    virtual void SetAnimation(int index, uint32_t mode) = 0;
    virtual void SetAnimationByName(const wchar_t* name, uint32_t mode) = 0;
    virtual int FindAnimation(const wchar_t* name) = 0;
    // Starts the clock at a random point of the animation's period.
    virtual void RandomizeElapsedTime() = 0;
    virtual bool IsFinished() = 0;
    virtual void SetColor(Video::tagColor color) = 0;
    virtual void GetColor(Video::tagColor& color) = 0;
    // 0 alpha blending, 1 additive.
    virtual void SetBlendMode(uint32_t mode) = 0;
    virtual uint32_t GetBlendMode() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
};

} // namespace Scene
} // namespace RVGameEngine
