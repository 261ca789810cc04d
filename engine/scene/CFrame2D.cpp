#include "engine/scene/CFrame2D.h"

#include "engine/common/base/TimeFunctions.h"
#include "engine/video/IVideoDriver.h"

namespace RVGameEngine {
namespace Scene {

CFrame2D::CFrame2D() : LastUsedTime(static_cast<uint32_t>(Common::GetTimeMs()))
{
}

void CFrame2D::BuildQuad()
{
    if (QuadReady || Texture.IsNull())
        return;
    Video::IVideoDriver* driver = Video::IVideoDriver_GetInstance();
    if (driver == nullptr)
        return;
    const float w = X2 - X1, h = Y2 - Y1;
    const float cx = CX - X1, cy = CY - Y1;
    Corners[0] = Math::tagVector3(-cx, -cy, 0.0f);
    Corners[1] = Math::tagVector3(w - cx, -cy, 0.0f);
    Corners[2] = Math::tagVector3(-cx, h - cy, 0.0f);
    Corners[3] = Math::tagVector3(w - cx, h - cy, 0.0f);
    driver->ComputeTexCoords(Texture.Get(), X1, Y1, w, h, ULeft, URight, VTop, VBottom);
    QuadReady = true;
}

void CFrame2D::ReleaseUnusedTexture(uint32_t idleMs, uint32_t now)
{
    // Unsigned difference: right across the millisecond clock's wrap.
    if (now - LastUsedTime >= idleMs && !Texture.IsNull())
        Texture->Unload();
}

} // namespace Scene
} // namespace RVGameEngine
