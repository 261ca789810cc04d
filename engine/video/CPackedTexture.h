#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/ITexture.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Video {

// One named image of a texture list: a rectangle of a texture, or the whole
// texture when the list gave no rectangle (its size then comes from the
// texture on first use).
class CPackedTexture : public Common::IReferenceCounted
{
public:
    std::wstring Name;
    std::wstring Filename;
    Common::TIntrusivePointer<ITexture> Texture;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t W = 0;
    int32_t H = 0;
    bool SizeFromTexture = false;

    // Takes the size from the texture when it is still to be taken (this
    // loads the texture). A missing file leaves 0 × 0 for good.
    void RefreshSize();
};

} // namespace Video
} // namespace RVGameEngine
