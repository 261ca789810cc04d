#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/CAnimation2D.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Scene {

// A named set of animations, addressed by their index in file order.
class RV_API CSprite2D : public Common::IReferenceCounted
{
public:
    std::wstring Name;
    std::vector<Common::TIntrusivePointer<CAnimation2D>> Animations;

    int GetAnimationCount() const { return static_cast<int>(Animations.size()); }
    // Null for an index outside 0..count-1.
    CAnimation2D* GetAnimation(int index) const;
    // Index of the first animation of exactly that name, else -1.
    int FindAnimation(const wchar_t* name) const;
    void ReleaseUnusedTextures(uint32_t idleMs, uint32_t now);
};

} // namespace Scene
} // namespace RVGameEngine
