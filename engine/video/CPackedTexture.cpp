#include "engine/video/CPackedTexture.h"

namespace RVGameEngine {
namespace Video {

void CPackedTexture::RefreshSize()
{
    if (!SizeFromTexture || Texture.IsNull())
        return;
    W = static_cast<int32_t>(Texture->GetWidth());
    H = static_cast<int32_t>(Texture->GetHeight());
    SizeFromTexture = false;
}

} // namespace Video
} // namespace RVGameEngine
