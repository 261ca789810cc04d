#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <d3d8.h>

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// A named image in a Direct3D texture, loaded on first use through the video
// driver. The texture itself is rounded up to powers of two where the device
// needs it; the image sits unscaled in its top-left corner. The size queries
// and pixel access load the texture first.
class RV_API ITexture : public Common::IReferenceCounted
{
public:
    // Takes over the caller's reference to the Direct3D texture and marks
    // the texture loaded.
    virtual void Init(uint32_t imageWidth, uint32_t imageHeight, IDirect3DTexture8* texture,
                      uint32_t filter) = 0;
    virtual uint32_t GetWidth() = 0;
    virtual uint32_t GetHeight() = 0;
    virtual uint32_t GetTextureWidth() = 0;
    virtual uint32_t GetTextureHeight() = 0;
    // Row by row into out[row * w + column]; pixels in the texture's format.
    virtual void ReadPixels(int x, int y, int w, int h, uint32_t* out) = 0;
    virtual void WritePixels(int x, int y, int w, int h, const uint32_t* in) = 0;
    // The filter mode (0..3) set whenever the texture is bound.
    virtual uint32_t GetFilter() = 0;
    virtual void SetFilter(uint32_t filter) = 0;
    virtual void EnsureLoaded() = 0;
    // Gives the Direct3D texture back; the next use loads it again.
    virtual void Unload() = 0;

    virtual IDirect3DTexture8* GetDirect3DTexture() = 0;
    virtual bool IsLoaded() = 0;
};

} // namespace Video
} // namespace RVGameEngine
