#include "engine/scene/CSceneNode2D.h"

#include "engine/math/MatrixFunctions.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace RVGameEngine {
namespace Scene {

CSceneNode2D::CSceneNode2D(const wchar_t* name) : m_name(name != nullptr ? name : L"")
{
}

CSceneNode2D::~CSceneNode2D()
{
    // Children and the object may outlive this node through references held
    // elsewhere: their links back to it must not dangle.
    for (Common::TIntrusivePointer<ISceneNode2D>& child : m_children) {
        if (child->GetParent() == this)
            child->SetParent(nullptr);
        child.Reset();
    }
    m_children.clear();
    if (!m_object.IsNull() && m_object->GetSceneNode() == this)
        m_object->SetSceneNode(nullptr);
}

void CSceneNode2D::Detach()
{
    // The parent may hold the only reference: keep this node alive until
    // the call is over.
    Common::TIntrusivePointer<ISceneNode2D> self(this);
    if (m_parent != nullptr)
        m_parent->RemoveChild(this);
    m_parent = nullptr;
}

void CSceneNode2D::SetTransform(const Math::tagMatrix3x3& transform)
{
    if (std::memcmp(transform.m, m_local.m, sizeof(m_local.m)) == 0)
        return;
    m_local = transform;
    SetDirtyRecursive();
}

void CSceneNode2D::ResetTransform()
{
    SetTransform(Math::tagMatrix3x3());
}

void CSceneNode2D::ApplyBefore(const Math::tagMatrix3x3& transform)
{
    Math::tagMatrix3x3 result;
    Math::Matrix3x3Multiply(result, transform, m_local);
    SetTransform(result);
}

void CSceneNode2D::Translate(float x, float y)
{
    Math::tagMatrix3x3 translation;
    Math::Matrix3x3Translation(translation, x, y);
    ApplyBefore(translation);
}

void CSceneNode2D::Scale(float x, float y)
{
    Math::tagMatrix3x3 scaling;
    Math::Matrix3x3Scaling(scaling, x, y);
    ApplyBefore(scaling);
    m_scaleX = x;
    m_scaleY = y;
}

void CSceneNode2D::Rotate(float angle)
{
    Math::tagMatrix3x3 rotation, rotated, translation, result;
    Math::Matrix3x3Rotation(rotation, angle);
    Math::Matrix3x3Multiply(rotated, rotation, m_local);
    Math::Matrix3x3Translation(translation, -m_offsetX * m_scaleX, -m_offsetY * m_scaleY);
    Math::Matrix3x3Multiply(result, translation, rotated);
    SetTransform(result);
}

void CSceneNode2D::SetParent(ISceneNode2D* parent)
{
    m_parent = parent;
    SetDirtyRecursive();
    UpdateTransforms();
}

ISceneNode2D* CSceneNode2D::CreateChild(const wchar_t* name, ISceneObject2D* object, int layer)
{
    ISceneNode2D* node = ISceneNode2D_Create(name);
    if (node == nullptr)
        return nullptr;
    node->AttachObject(object);
    node->SetLayer(layer);
    m_children.emplace_back(node);
    node->SetParent(this);
    return node;
}

bool CSceneNode2D::RemoveChild(ISceneNode2D* node)
{
    for (size_t i = 0; i < m_children.size(); ++i) {
        // Held for the call: the removal below may drop the last other reference.
        Common::TIntrusivePointer<ISceneNode2D> child = m_children[i];
        if (child->RemoveChild(node))
            return true;
        if (child.Get() == node) {
            node->SetParent(nullptr);
            m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

ISceneNode2D* CSceneNode2D::GetChild(int index)
{
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    return m_children[static_cast<size_t>(index)].Get();
}

void CSceneNode2D::AttachObject(ISceneObject2D* object)
{
    if (object == m_object.Get())
        return;
    // The previous object must not keep pointing at this node.
    if (!m_object.IsNull() && m_object->GetSceneNode() == this)
        m_object->SetSceneNode(nullptr);
    m_object = Common::TIntrusivePointer<ISceneObject2D>(object);
    if (object != nullptr)
        object->SetSceneNode(this);
}

void CSceneNode2D::SetLayer(int layer)
{
    m_layer = std::clamp(layer, 0, kSceneLayerCount - 1);
}

void CSceneNode2D::UpdateWorldTransform()
{
    if (!m_dirty)
        return;
    if (m_parent != nullptr)
        Math::Matrix3x3Multiply(m_world, m_local, m_parent->GetWorldTransform());
    else
        m_world = m_local;
    if (!m_object.IsNull())
        m_object->SetTransform(m_world);
    m_dirty = false;
}

void CSceneNode2D::UpdateTransforms()
{
    UpdateWorldTransform();
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->UpdateTransforms();
}

void CSceneNode2D::SetDirtyRecursive()
{
    m_dirty = true;
    for (const Common::TIntrusivePointer<ISceneNode2D>& child : m_children)
        child->SetDirtyRecursive();
}

void CSceneNode2D::SetOffset(float x, float y)
{
    m_offsetX = x;
    m_offsetY = y;
}

ISceneNode2D* ISceneNode2D_Create(const wchar_t* name)
{
    CSceneNode2D* node = new (std::nothrow) CSceneNode2D(name);
    if (node != nullptr)
        node->UpdateTransforms();
    return node;
}

} // namespace Scene
} // namespace RVGameEngine
