#include "engine/video/imaging/SurfaceFiles.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <cstring>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

namespace {

uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }

bool ReadRow(D3DFORMAT format, const uint8_t* source, uint32_t count, uint32_t* out)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
        std::memcpy(out, source, static_cast<size_t>(count) * 4);
        return true;
    case D3DFMT_X8R8G8B8:
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t pixel;
            std::memcpy(&pixel, source + i * 4, 4);
            out[i] = pixel | 0xFF000000u;
        }
        return true;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t p;
            std::memcpy(&p, source + i * 2, 2);
            uint32_t r, g, b, a = 255;
            if (format == D3DFMT_R5G6B5) {
                r = Expand5(p >> 11);
                g = Expand6((p >> 5) & 0x3F);
                b = Expand5(p & 0x1F);
            } else {
                r = Expand5((p >> 10) & 0x1F);
                g = Expand5((p >> 5) & 0x1F);
                b = Expand5(p & 0x1F);
                if (format == D3DFMT_A1R5G5B5 && (p & 0x8000) == 0)
                    a = 0;
            }
            out[i] = a << 24 | r << 16 | g << 8 | b;
        }
        return true;
    default:
        return false;
    }
}

void Put16(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& bytes, uint32_t value)
{
    Put16(bytes, static_cast<uint16_t>(value));
    Put16(bytes, static_cast<uint16_t>(value >> 16));
}

std::vector<uint8_t> EncodeBmp24(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height)
{
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * height;
    const uint32_t headerBytes = 14 + 40;
    std::vector<uint8_t> bytes;
    bytes.reserve(headerBytes + imageBytes);
    bytes.push_back('B');
    bytes.push_back('M');
    Put32(bytes, headerBytes + imageBytes);
    Put32(bytes, 0);
    Put32(bytes, headerBytes);
    Put32(bytes, 40);
    Put32(bytes, width);
    Put32(bytes, height);  // positive: rows bottom up
    Put16(bytes, 1);
    Put16(bytes, 24);
    Put32(bytes, BI_RGB);
    Put32(bytes, imageBytes);
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, 0);
    for (uint32_t row = height; row-- > 0;) {
        const uint32_t* line = pixels.data() + static_cast<size_t>(row) * width;
        for (uint32_t column = 0; column < width; ++column) {
            bytes.push_back(static_cast<uint8_t>(line[column]));
            bytes.push_back(static_cast<uint8_t>(line[column] >> 8));
            bytes.push_back(static_cast<uint8_t>(line[column] >> 16));
        }
        bytes.resize(bytes.size() + (rowBytes - width * 3), 0);
    }
    return bytes;
}

} // namespace

HRESULT ReadSurfacePixels(IDirect3DSurface8* surface, const RECT* rect, std::vector<uint32_t>& pixels,
                          uint32_t& width, uint32_t& height)
{
    pixels.clear();
    width = height = 0;
    if (surface == nullptr)
        return E_INVALIDARG;
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc)))
        return E_FAIL;
    RECT area = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right > area.right || rect->bottom > area.bottom ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return E_INVALIDARG;
        area = *rect;
    }
    Common::TComPointer<IDirect3DDevice8> device;
    if (FAILED(surface->GetDevice(device.Receive())))
        return E_FAIL;
    // Render targets cannot be locked; an image surface of the same format can.
    Common::TComPointer<IDirect3DSurface8> copy;
    if (FAILED(device->CreateImageSurface(desc.Width, desc.Height, desc.Format, copy.Receive())) ||
        FAILED(device->CopyRects(surface, nullptr, 0, copy.Get(), nullptr)))
        return E_FAIL;
    D3DLOCKED_RECT locked{};
    if (FAILED(copy->LockRect(&locked, &area, D3DLOCK_READONLY)))
        return E_FAIL;
    width = static_cast<uint32_t>(area.right - area.left);
    height = static_cast<uint32_t>(area.bottom - area.top);
    pixels.resize(static_cast<size_t>(width) * height);
    bool known = true;
    for (uint32_t row = 0; row < height && known; ++row)
        known = ReadRow(desc.Format, static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch,
                        width, pixels.data() + static_cast<size_t>(row) * width);
    copy->UnlockRect();
    if (!known) {
        pixels.clear();
        width = height = 0;
        return E_NOTIMPL;
    }
    return D3D_OK;
}

HRESULT SaveSurfaceToBmpFile(const wchar_t* path, IDirect3DSurface8* surface, const RECT* rect)
{
    if (path == nullptr)
        return E_INVALIDARG;
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    HRESULT result = ReadSurfacePixels(surface, rect, pixels, width, height);
    if (FAILED(result))
        return result;
    const std::vector<uint8_t> bytes = EncodeBmp24(pixels, width, height);
    Common::TIntrusivePointer<Common::IStream> stream(Common::IStream_Create(static_cast<int32_t>(bytes.size())));
    if (stream.IsNull())
        return E_OUTOFMEMORY;
    std::memcpy(stream->GetData(), bytes.data(), bytes.size());
    return FileSystem::IVirtualFileSystem_GetInstance()->WriteFile(path, stream.Get()) ? D3D_OK : E_FAIL;
}

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
