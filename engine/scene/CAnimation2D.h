#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/CFrame2D.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Scene {

// A named sequence of frames played at FramePerSecond.
class RV_API CAnimation2D : public Common::IReferenceCounted
{
public:
    std::wstring Name;
    std::vector<Common::TIntrusivePointer<CFrame2D>> Frames;
    float FramePerSecond = 1.0f;
    float OffsetX = 0.0f;
    float OffsetY = 0.0f;

    int GetFrameCount() const { return static_cast<int>(Frames.size()); }
    // Null for an index outside 0..count-1.
    CFrame2D* GetFrame(int index) const;
    void ReleaseUnusedTextures(uint32_t idleMs, uint32_t now);
};

} // namespace Scene
} // namespace RVGameEngine
