#include "engine/scene/CAnimation2D.h"

namespace RVGameEngine {
namespace Scene {

CFrame2D* CAnimation2D::GetFrame(int index) const
{
    if (index < 0 || index >= GetFrameCount())
        return nullptr;
    return Frames[static_cast<size_t>(index)].Get();
}

void CAnimation2D::ReleaseUnusedTextures(uint32_t idleMs, uint32_t now)
{
    for (const Common::TIntrusivePointer<CFrame2D>& frame : Frames)
        frame->ReleaseUnusedTexture(idleMs, now);
}

} // namespace Scene
} // namespace RVGameEngine
