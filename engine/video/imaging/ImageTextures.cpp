#include "engine/video/imaging/ImageTextures.h"

#include "engine/common/base/ComPointer.h"
#include "engine/video/PowerOfTwo.h"
#include "engine/video/imaging/ImageScaling.h"

#include <cstring>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

namespace {

using Common::tagDecodedImage;

// Data that is no image, and images beyond the limits, are refused for good;
// running out of memory may pass.
HRESULT ToResult(Common::enmImageDecodeResult decoded)
{
    switch (decoded) {
    case Common::IMAGE_DECODED: return D3D_OK;
    case Common::IMAGE_OUT_OF_MEMORY: return E_OUTOFMEMORY;
    default: return kImageDataInvalid;
    }
}

bool DeviceNeedsPowerOfTwo(IDirect3DDevice8* device)
{
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps)))
        return true;
    return (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
}

// Copies the image into level 0 at the top-left corner; the rest is cleared.
HRESULT FillLevelZero(IDirect3DTexture8* texture, const tagDecodedImage& image)
{
    D3DSURFACE_DESC desc{};
    if (FAILED(texture->GetLevelDesc(0, &desc)))
        return E_FAIL;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
        return E_FAIL;
    const uint32_t columns = image.Width < desc.Width ? image.Width : desc.Width;
    for (uint32_t row = 0; row < desc.Height; ++row) {
        auto* line = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch;
        std::memset(line, 0, static_cast<size_t>(desc.Width) * 4);
        if (row < image.Height)
            std::memcpy(line, image.Pixels.get() + static_cast<size_t>(row) * image.Width,
                        static_cast<size_t>(columns) * 4);
    }
    texture->UnlockRect(0);
    return D3D_OK;
}

void ApplyColorKey(tagDecodedImage& image, uint32_t colorKey)
{
    if (colorKey == 0)
        return;
    for (size_t i = 0; i < image.GetPixelCount(); ++i)
        if (image.Pixels[i] == colorKey)
            image.Pixels[i] = 0;
}

} // namespace

HRESULT GetImageInfoFromFileInMemory(const void* data, uint32_t size, tagImageInfo* info)
{
    if (data == nullptr || size == 0 || info == nullptr)
        return E_INVALIDARG;
    tagDecodedImage image;
    const HRESULT decoded = ToResult(Common::DecodeImage(data, size, true, image));
    if (FAILED(decoded))
        return decoded;
    info->Width = image.Width;
    info->Height = image.Height;
    info->Format = D3DFMT_A8R8G8B8;
    return D3D_OK;
}

HRESULT CreateTexture(IDirect3DDevice8* device, uint32_t width, uint32_t height, uint32_t mipLevels,
                      uint32_t usage, D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture)
{
    if (texture == nullptr)
        return E_INVALIDARG;
    *texture = nullptr;
    if (device == nullptr)
        return E_INVALIDARG;
    width = width == 0 ? 1 : width;
    height = height == 0 ? 1 : height;
    if (DeviceNeedsPowerOfTwo(device)) {
        width = RoundUpToPowerOfTwo(width);
        height = RoundUpToPowerOfTwo(height);
    }
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture);
}

HRESULT CreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* data, uint32_t size,
                                        uint32_t width, uint32_t height, uint32_t mipLevels,
                                        uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                                        uint32_t filter, uint32_t /*mipFilter*/, uint32_t colorKey,
                                        tagImageInfo* info, PALETTEENTRY* /*palette*/,
                                        IDirect3DTexture8** texture)
{
    if (texture == nullptr)
        return E_INVALIDARG;
    *texture = nullptr;
    if (device == nullptr || data == nullptr || size == 0)
        return E_INVALIDARG;
    if (format != D3DFMT_UNKNOWN && format != D3DFMT_A8R8G8B8)
        return E_NOTIMPL;
    tagDecodedImage image;
    const HRESULT decoded = ToResult(Common::DecodeImage(data, size, false, image));
    if (FAILED(decoded))
        return decoded;
    ApplyColorKey(image, colorKey);
    if (info != nullptr) {
        info->Width = image.Width;
        info->Height = image.Height;
        info->Format = D3DFMT_A8R8G8B8;
    }
    width = width == kSizeFromFile ? image.Width : width;
    height = height == kSizeFromFile ? image.Height : height;

    Common::TComPointer<IDirect3DTexture8> created;
    HRESULT result = CreateTexture(device, width, height, mipLevels, usage, D3DFMT_A8R8G8B8, pool,
                                   created.Receive());
    if (FAILED(result))
        return result;
    D3DSURFACE_DESC desc{};
    if (FAILED(created->GetLevelDesc(0, &desc)))
        return E_FAIL;
    if (filter != kImageFilterNone && (desc.Width != image.Width || desc.Height != image.Height)) {
        tagDecodedImage scaled;
        if (!ScaleImage(image, desc.Width, desc.Height, scaled))
            return E_FAIL;
        image = std::move(scaled);
    }
    if (FAILED(FillLevelZero(created.Get(), image)))
        return E_FAIL;
    // The caller gets a reference of its own; ours goes with `created`.
    created->AddRef();
    *texture = created.Get();
    return D3D_OK;
}

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
