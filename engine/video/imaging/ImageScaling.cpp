#include "engine/video/imaging/ImageScaling.h"

#include "engine/common/base/GdiplusStartup.h"

#include <windows.h>
#include <gdiplus.h>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

bool ScaleImage(const Common::tagDecodedImage& source, uint32_t width, uint32_t height,
                Common::tagDecodedImage& scaled)
{
    if (!Common::StartGdiplus() || source.Pixels == nullptr || width == 0 || height == 0)
        return false;
    if (!scaled.AllocatePixels(width, height))
        return false;
    Gdiplus::Bitmap from(static_cast<INT>(source.Width), static_cast<INT>(source.Height),
                         static_cast<INT>(source.Width * 4), PixelFormat32bppARGB,
                         reinterpret_cast<BYTE*>(source.Pixels.get()));
    Gdiplus::Bitmap to(static_cast<INT>(width), static_cast<INT>(height), static_cast<INT>(width * 4),
                       PixelFormat32bppARGB, reinterpret_cast<BYTE*>(scaled.Pixels.get()));
    Gdiplus::Graphics graphics(&to);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    Gdiplus::Rect target(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    return graphics.DrawImage(&from, target, 0, 0, static_cast<INT>(source.Width),
                              static_cast<INT>(source.Height), Gdiplus::UnitPixel, &edges) == Gdiplus::Ok;
}

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
