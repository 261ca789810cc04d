#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/ISceneNode2D.h"
#include "engine/scene/ISceneObject2D.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace Scene {

class RV_API CSceneNode2D : public ISceneNode2D
{
public:
    explicit CSceneNode2D(const wchar_t* name);
    ~CSceneNode2D() override;

    void Detach() override;
    void SetTransform(const Math::tagMatrix3x3& transform) override;
    const Math::tagMatrix3x3& GetTransform() override { return m_local; }
    void ResetTransform() override;
    void Translate(float x, float y) override;
    void TranslateX(float x) override { Translate(x, 0.0f); }
    void TranslateY(float y) override { Translate(0.0f, y); }
    void Scale(float factor) override { Scale(factor, factor); }
    void Scale(float x, float y) override;
    void Rotate(float angle) override;
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() override { return m_visible; }
    void SetParent(ISceneNode2D* parent) override;
    ISceneNode2D* GetParent() override { return m_parent; }
    ISceneNode2D* CreateChild(const wchar_t* name, ISceneObject2D* object, int layer) override;
    bool RemoveChild(ISceneNode2D* node) override;
    int GetChildCount() override { return static_cast<int>(m_children.size()); }
    ISceneNode2D* GetChild(int index) override;
    void AttachObject(ISceneObject2D* object) override;
    ISceneObject2D* GetObject() override { return m_object.Get(); }
    int GetLayer() override { return m_layer; }
    void SetLayer(int layer) override;
    void UpdateWorldTransform() override;
    void UpdateTransforms() override;
    const Math::tagMatrix3x3& GetWorldTransform() override { return m_world; }
    bool IsDirty() override { return m_dirty; }
    void SetDirty() override { m_dirty = true; }
    void ClearDirty() override { m_dirty = false; }
    void SetDirtyRecursive() override;

    const std::wstring& GetName() const { return m_name; }
    // Set by the attached sprite instance: the shown frame's offset, which
    // Rotate turns about.
    void SetOffset(float x, float y);
    float GetOffsetX() const { return m_offsetX; }
    float GetOffsetY() const { return m_offsetY; }
    float GetScaleX() const { return m_scaleX; }
    float GetScaleY() const { return m_scaleY; }

private:
    // local = transform · local, through SetTransform.
    void ApplyBefore(const Math::tagMatrix3x3& transform);

    std::wstring m_name;
    Math::tagMatrix3x3 m_local;
    Math::tagMatrix3x3 m_world;
    ISceneNode2D* m_parent = nullptr;
    std::vector<Common::TIntrusivePointer<ISceneNode2D>> m_children;
    Common::TIntrusivePointer<ISceneObject2D> m_object;
    bool m_visible = true;
    bool m_dirty = true;
    int32_t m_layer = 0;
    float m_offsetX = 0.0f, m_offsetY = 0.0f;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
};

} // namespace Scene
} // namespace RVGameEngine
