#pragma once

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

// An image decoded to 32-bit pixels, A8R8G8B8, rows top down without padding.
struct tagDecodedImage
{
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

// Decodes an image file held in memory (BMP, PNG, JPEG, GIF, TIFF, ICO: what
// GDI+ reads). With sizeOnly the pixels are left empty. False for data that
// does not decode.
bool DecodeImage(const void* data, uint32_t size, bool sizeOnly, tagDecodedImage& image);

// The image scaled to width × height with bilinear filtering.
bool ScaleImage(const tagDecodedImage& source, uint32_t width, uint32_t height, tagDecodedImage& scaled);

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
