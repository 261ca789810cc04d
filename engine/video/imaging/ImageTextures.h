#pragma once

#include "engine/common/base/EngineApi.h"

#include <d3d8.h>

#include <cstdint>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

// What an image file says about itself. Decoded images are always 32-bit
// ARGB, so Format is D3DFMT_A8R8G8B8.
struct RV_API tagImageInfo
{
    uint32_t Width = 0;
    uint32_t Height = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

// Image filters for putting an image into a texture of another size.
constexpr uint32_t kImageFilterNone = 1;       // unscaled, in the top-left corner
constexpr uint32_t kImageFilterDefault = 0xFFFFFFFFu; // stretched over the whole texture
// Width, height or format "take it from the file".
constexpr uint32_t kSizeFromFile = 0;
// The result for data that does not decode as an image.
constexpr HRESULT kImageDataInvalid = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

// E_INVALIDARG for bad arguments, kImageDataInvalid for data that does not
// decode or an image beyond the decoder's limits, E_OUTOFMEMORY when its
// pixels cannot be held.
RV_API HRESULT GetImageInfoFromFileInMemory(const void* data, uint32_t size, tagImageInfo* info);

// A texture of at least width × height (rounded up to powers of two when the
// device needs that, 0 taken as 1), through the device's CreateTexture.
RV_API HRESULT CreateTexture(IDirect3DDevice8* device, uint32_t width, uint32_t height,
                             uint32_t mipLevels, uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                             IDirect3DTexture8** texture);

// Decodes the image and puts it into level 0 of a new texture (further mip
// levels are left blank). Width and height kSizeFromFile take the image's
// size, D3DFMT_UNKNOWN gives A8R8G8B8 (the only format filled). Texels that
// the image does not cover are transparent black. A non-zero colour key
// turns pixels of exactly that ARGB value into transparent black. The
// palette is not used. On failure *texture is null; data that does not
// decode (or is too large) gives kImageDataInvalid, pixels that cannot be
// allocated E_OUTOFMEMORY. `info`, when given, receives the image's
// own size.
RV_API HRESULT CreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* data,
                                               uint32_t size, uint32_t width, uint32_t height,
                                               uint32_t mipLevels, uint32_t usage, D3DFORMAT format,
                                               D3DPOOL pool, uint32_t filter, uint32_t mipFilter,
                                               uint32_t colorKey, tagImageInfo* info,
                                               PALETTEENTRY* palette, IDirect3DTexture8** texture);

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
