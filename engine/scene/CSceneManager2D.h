#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/ISceneManager2D.h"
#include "engine/scene/ISceneNode2D.h"

#include <vector>

namespace RVGameEngine {
namespace Scene {

class RV_API CSceneManager2D : public ISceneManager2D
{
public:
    CSceneManager2D();

    bool Initialize() override { return true; }
    ISceneNode2D* GetRoot() override { return m_root.Get(); }
    void Update(uint32_t elapsedMs) override;
    void Draw() override;
    void SetViewMatrix(const Math::tagMatrix3x3& matrix) override { m_view = matrix; }
    const Math::tagMatrix3x3& GetViewMatrix() override { return m_view; }
    void SetSecondMatrix(const Math::tagMatrix3x3& matrix) override { m_second = matrix; }
    const Math::tagMatrix3x3& GetSecondMatrix() override { return m_second; }

private:
    void UpdateObjects(ISceneNode2D* node, uint32_t elapsedMs);
    void CollectVisible(ISceneNode2D* node);
    static void FlushSprites();

    Common::TIntrusivePointer<ISceneNode2D> m_root;
    // Filled and emptied within one Draw; the references keep a node whose
    // object's drawing changes the tree alive until its turn is over.
    std::vector<Common::TIntrusivePointer<ISceneNode2D>> m_layers[kSceneLayerCount];
    Math::tagMatrix3x3 m_view;
    Math::tagMatrix3x3 m_second;
};

} // namespace Scene
} // namespace RVGameEngine
