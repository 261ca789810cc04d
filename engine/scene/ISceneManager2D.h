#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/math/tagMatrix3x3.h"

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

class ISceneNode2D;

// The 2D scene: the node tree under "Root", advanced once per frame and
// drawn layer by layer from 31 down to 0, so that layer 0 ends on top.
class RV_API ISceneManager2D : public Common::IReferenceCounted
{
public:
    virtual bool Initialize() = 0;
    virtual ISceneNode2D* GetRoot() = 0;
    // Advances every object, visible or not, then the world transforms.
    virtual void Update(uint32_t elapsedMs) = 0;
    // Draws the objects of visible subtrees; between the video driver's
    // begin and end of scene.
    virtual void Draw() = 0;
    // Applied to every vertex the sprite manager batches.
    virtual void SetViewMatrix(const Math::tagMatrix3x3& matrix) = 0;
    virtual const Math::tagMatrix3x3& GetViewMatrix() = 0;
    virtual void SetSecondMatrix(const Math::tagMatrix3x3& matrix) = 0;
    virtual const Math::tagMatrix3x3& GetSecondMatrix() = 0;
};

// The device's scene manager; null when there is no device.
RV_API ISceneManager2D* ISceneManager2D_GetInstance();

} // namespace Scene
} // namespace RVGameEngine
