#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>
#include <memory>

namespace RVGameEngine {
namespace Common {

// Images bigger than this are refused before their pixels are allocated:
// wider or taller than any texture a device makes, or with more pixels than
// a 4096 × 4096 texture holds (64 MiB at four bytes each).
constexpr uint32_t kMaxImageSide = 16384;
constexpr uint32_t kMaxImagePixels = 4096u * 4096u;

// An image decoded to 32-bit pixels, A8R8G8B8, rows top down without padding.
struct RV_API tagDecodedImage
{
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::unique_ptr<uint32_t[]> Pixels;

    size_t GetPixelCount() const { return static_cast<size_t>(Width) * Height; }
    // Width × height pixels, zero-filled; false (and nothing held) when the
    // memory is not there.
    bool AllocatePixels(uint32_t width, uint32_t height);
};

enum enmImageDecodeResult
{
    IMAGE_DECODED,
    IMAGE_NOT_READABLE,   // not an image GDI+ reads, or GDI+ is not running
    IMAGE_TOO_LARGE,      // beyond kMaxImageSide or kMaxImagePixels
    IMAGE_OUT_OF_MEMORY,  // the pixel buffer could not be allocated
};

// Decodes an image file held in memory (BMP, PNG, JPEG, GIF, TIFF, ICO: what
// GDI+ reads). With sizeOnly the pixels are left empty. Images too large or
// out of memory are logged here with their size; on any failure `image` is
// left empty.
RV_API enmImageDecodeResult DecodeImage(const void* data, uint32_t size, bool sizeOnly, tagDecodedImage& image);

} // namespace Common
} // namespace RVGameEngine
