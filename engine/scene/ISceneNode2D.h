#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/math/tagMatrix3x3.h"

// Included first so that GetObject below is renamed the same way (the
// system's GetObject macro) in every file that sees this interface.
#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

class ISceneObject2D;

// Layers a node may be drawn on; layer 0 is drawn last, on top.
constexpr int kSceneLayerCount = 32;

// A node of the 2D scene graph: a local transform, a world transform derived
// from the parent's, a visibility flag, a layer and at most one object. A
// node owns its children and its object; its link to the parent is not
// counted. Transform changes mark the node and its subtree dirty; the world
// transforms are brought up to date by UpdateTransforms.
class RV_API ISceneNode2D : public Common::IReferenceCounted
{
public:
    // Leaves the parent; safe when the parent held the only reference.
    virtual void Detach() = 0;
    virtual void SetTransform(const Math::tagMatrix3x3& transform) = 0;
    virtual const Math::tagMatrix3x3& GetTransform() = 0;
    virtual void ResetTransform() = 0;
    // Each of these applies its transform before the current local one.
    virtual void Translate(float x, float y) = 0;
    virtual void TranslateX(float x) = 0;
    virtual void TranslateY(float y) = 0;
    virtual void Scale(float factor) = 0;
    virtual void Scale(float x, float y) = 0;
    // Rotates, then moves back by the object's offset times the last scale.
    virtual void Rotate(float angle) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() = 0;
    // Only the link: the parent's child list is not changed.
    virtual void SetParent(ISceneNode2D* parent) = 0;
    virtual ISceneNode2D* GetParent() = 0;
    // The child belongs to this node; the caller gets no reference.
    virtual ISceneNode2D* CreateChild(const wchar_t* name, ISceneObject2D* object, int layer) = 0;
    // Searches the whole subtree, depth first.
    virtual bool RemoveChild(ISceneNode2D* node) = 0;
    virtual int GetChildCount() = 0;
    // Null for an index outside 0..count-1.
    virtual ISceneNode2D* GetChild(int index) = 0;
    virtual void AttachObject(ISceneObject2D* object) = 0;
    virtual ISceneObject2D* GetObject() = 0;
    virtual int GetLayer() = 0;
    // Clamped to 0..31.
    virtual void SetLayer(int layer) = 0;
    virtual void UpdateWorldTransform() = 0;
    // This node's world transform, then its subtree's.
    virtual void UpdateTransforms() = 0;
    virtual const Math::tagMatrix3x3& GetWorldTransform() = 0;
    virtual bool IsDirty() = 0;
    virtual void SetDirty() = 0;
    virtual void ClearDirty() = 0;
    virtual void SetDirtyRecursive() = 0;
};

// A new node without parent or object; the caller takes the first reference.
RV_API ISceneNode2D* ISceneNode2D_Create(const wchar_t* name);

} // namespace Scene
} // namespace RVGameEngine
