#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/math/CBoundingSphere2D.h"
#include "engine/math/tagVector3.h"
#include "engine/video/ITexture.h"

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Scene {

// One picture of an animation: a rectangle of a texture in texture pixels,
// the centre point the picture is drawn around, the offset its scene node
// takes while it shows and the circles used for hit tests.
class RV_API CFrame2D : public Common::IReferenceCounted
{
public:
    CFrame2D();

    std::vector<Math::CBoundingSphere2D> BoundingSpheres;
    Common::TIntrusivePointer<Video::ITexture> Texture;
    float X1 = 0.0f, Y1 = 0.0f, X2 = 0.0f, Y2 = 0.0f;
    float CX = 0.0f, CY = 0.0f;
    float OffsetX = 0.0f, OffsetY = 0.0f;
    uint32_t LastUsedTime;
    bool QuadReady = false;
    // Relative to the centre point: top-left, top-right, bottom-left, bottom-right.
    Math::tagVector3 Corners[4];
    float ULeft = 0.0f, URight = 0.0f, VTop = 0.0f, VBottom = 0.0f;

    // Works out the corners and texture coordinates once the frame has a
    // texture; later calls keep the first result.
    void BuildQuad();
    // Gives the texture's memory back when the frame has not been shown for
    // idleMs; the reference stays, so the next use loads it again.
    void ReleaseUnusedTexture(uint32_t idleMs, uint32_t now);
};

} // namespace Scene
} // namespace RVGameEngine
