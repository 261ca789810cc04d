#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/CSprite2D.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace Scene {

// What a sprite file reader found, held apart from the sprite manager until
// the whole file has been read: the sprites in file order and, per kept
// frame, the texture text of the file (relative to the texture directory).
struct tagSpriteFileContents
{
    struct tagTextureRequest
    {
        CFrame2D* frame;
        std::wstring relativePath;
    };

    std::vector<Common::TIntrusivePointer<CSprite2D>> sprites;
    std::vector<tagTextureRequest> textures;
};

// How many of every (frameStep + 1) frames are kept, and the divisor of the
// frame rate; a negative step reads as 0 so nothing divides by zero.
inline int64_t FrameStepDivisor(int frameStep)
{
    return frameStep > 0 ? static_cast<int64_t>(frameStep) + 1 : 1;
}

} // namespace Scene
} // namespace RVGameEngine
