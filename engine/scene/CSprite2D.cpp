#include "engine/scene/CSprite2D.h"

namespace RVGameEngine {
namespace Scene {

CAnimation2D* CSprite2D::GetAnimation(int index) const
{
    if (index < 0 || index >= GetAnimationCount())
        return nullptr;
    return Animations[static_cast<size_t>(index)].Get();
}

int CSprite2D::FindAnimation(const wchar_t* name) const
{
    if (name == nullptr)
        return -1;
    for (size_t i = 0; i < Animations.size(); ++i)
        if (Animations[i]->Name == name)
            return static_cast<int>(i);
    return -1;
}

void CSprite2D::ReleaseUnusedTextures(uint32_t idleMs, uint32_t now)
{
    for (const Common::TIntrusivePointer<CAnimation2D>& animation : Animations)
        animation->ReleaseUnusedTextures(idleMs, now);
}

} // namespace Scene
} // namespace RVGameEngine
