#pragma once

#include "engine/common/base/ImageDecoder.h"

namespace RVGameEngine {
namespace Video {
namespace Imaging {

// The image scaled to width × height with bilinear filtering. False when
// GDI+ is not running or the scaled pixels cannot be allocated.
bool ScaleImage(const Common::tagDecodedImage& source, uint32_t width, uint32_t height,
                Common::tagDecodedImage& scaled);

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
