#include "engine/scene/CSceneManager2D.h"

#include "engine/scene/ISceneObject2D.h"
#include "engine/scene/ISpriteManager2D.h"

#include <algorithm>

namespace RVGameEngine {
namespace Scene {

CSceneManager2D::CSceneManager2D() : m_root(ISceneNode2D_Create(L"Root"))
{
}

void CSceneManager2D::Update(uint32_t elapsedMs)
{
    if (m_root.IsNull())
        return;
    UpdateObjects(m_root.Get(), elapsedMs);
    m_root->UpdateTransforms();
}

void CSceneManager2D::UpdateObjects(ISceneNode2D* node, uint32_t elapsedMs)
{
    // Hidden nodes advance too: only drawing skips them.
    Common::TIntrusivePointer<ISceneNode2D> keep(node);
    if (ISceneObject2D* object = node->GetObject())
        object->Update(elapsedMs);
    for (int i = 0; i < node->GetChildCount(); ++i)
        UpdateObjects(node->GetChild(i), elapsedMs);
}

void CSceneManager2D::CollectVisible(ISceneNode2D* node)
{
    if (!node->IsVisible())
        return;
    if (node->GetObject() != nullptr) {
        const int layer = std::clamp(node->GetLayer(), 0, kSceneLayerCount - 1);
        m_layers[layer].emplace_back(node);
    }
    for (int i = 0; i < node->GetChildCount(); ++i)
        CollectVisible(node->GetChild(i));
}

void CSceneManager2D::FlushSprites()
{
    if (ISpriteManager2D* sprites = ISpriteManager2D_GetInstance()) {
        sprites->Flush();
        sprites->ResetBlendMode();
    }
}

void CSceneManager2D::Draw()
{
    if (m_root.IsNull())
        return;
    CollectVisible(m_root.Get());
    FlushSprites();
    for (int layer = kSceneLayerCount - 1; layer >= 0; --layer) {
        std::vector<Common::TIntrusivePointer<ISceneNode2D>> nodes;
        nodes.swap(m_layers[layer]);
        for (const Common::TIntrusivePointer<ISceneNode2D>& node : nodes)
            if (ISceneObject2D* object = node->GetObject())
                object->Draw();
    }
    FlushSprites();
}

} // namespace Scene
} // namespace RVGameEngine
