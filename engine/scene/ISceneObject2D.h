#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/math/CBoundingBox2D.h"
#include "engine/math/CBoundingSphere2D.h"
#include "engine/math/tagMatrix3x3.h"

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

class ISceneNode2D;

// What the scene graph needs of an object attached to a node. The node owns
// the object; the object's link back to its node is not counted and is
// cleared by the node when they part.
class RV_API ISceneObject2D : public Common::IReferenceCounted
{
public:
    virtual void SetSceneNode(ISceneNode2D* node) = 0;
    virtual ISceneNode2D* GetSceneNode() = 0;
    // The node's world transform.
    virtual void SetTransform(const Math::tagMatrix3x3& transform) = 0;
    virtual void Update(uint32_t elapsedMs) = 0;
    virtual void Draw() = 0;
    virtual const Math::CBoundingBox2D& GetBoundingBox() = 0;
    virtual int GetBoundingSphereCount() = 0;
    virtual Math::CBoundingSphere2D GetBoundingSphere(int index) = 0;
};

} // namespace Scene
} // namespace RVGameEngine
