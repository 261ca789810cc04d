#include "engine/video/imaging/ImageDecoder.h"

#include "engine/common/base/ComPointer.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <memory>
#include <new>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

namespace {

// Wider or taller than any texture a device makes. The bound also keeps the
// pixel count times four within 32 bits, so the buffer size cannot wrap.
constexpr uint32_t kMaxImageSide = 16384;

void LogImageRefused(const wchar_t* reason, uint32_t width, uint32_t height)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Image of %u x %u pixels refused: %s",
                                            width, height, reason);
}

// GDI+ runs from the first decode to the end of the process: shutting it
// down during exit could race other users of it.
bool EnsureGdiplus()
{
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

bool CopyPixels(Gdiplus::Bitmap& bitmap, tagDecodedImage& image)
{
    Gdiplus::Rect whole(0, 0, static_cast<INT>(image.Width), static_cast<INT>(image.Height));
    Gdiplus::BitmapData data{};
    data.Width = image.Width;
    data.Height = image.Height;
    data.Stride = static_cast<INT>(image.Width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    try {
        image.Pixels.assign(static_cast<size_t>(image.Width) * image.Height, 0);
    } catch (const std::bad_alloc&) {
        LogImageRefused(L"out of memory", image.Width, image.Height);
        return false;
    }
    data.Scan0 = image.Pixels.data();
    // The caller's buffer receives the pixels directly, converted to ARGB.
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return false;
    return bitmap.UnlockBits(&data) == Gdiplus::Ok;
}

} // namespace

bool DecodeImage(const void* data, uint32_t size, bool sizeOnly, tagDecodedImage& image)
{
    image = tagDecodedImage();
    if (data == nullptr || size == 0 || !EnsureGdiplus())
        return false;
    Common::TComPointer<::IStream> stream;
    *stream.Receive() = SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream)
        return false;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return false;
    image.Width = bitmap->GetWidth();
    image.Height = bitmap->GetHeight();
    if (image.Width == 0 || image.Height == 0)
        return false;
    if (image.Width > kMaxImageSide || image.Height > kMaxImageSide) {
        LogImageRefused(L"too large", image.Width, image.Height);
        image = tagDecodedImage();
        return false;
    }
    if (sizeOnly)
        return true;
    if (!CopyPixels(*bitmap, image)) {
        image = tagDecodedImage();
        return false;
    }
    return true;
}

bool ScaleImage(const tagDecodedImage& source, uint32_t width, uint32_t height, tagDecodedImage& scaled)
{
    if (!EnsureGdiplus() || source.Width == 0 || source.Height == 0 || width == 0 || height == 0)
        return false;
    Gdiplus::Bitmap from(static_cast<INT>(source.Width), static_cast<INT>(source.Height),
                         static_cast<INT>(source.Width * 4), PixelFormat32bppARGB,
                         reinterpret_cast<BYTE*>(const_cast<uint32_t*>(source.Pixels.data())));
    scaled.Width = width;
    scaled.Height = height;
    scaled.Pixels.assign(static_cast<size_t>(width) * height, 0);
    Gdiplus::Bitmap to(static_cast<INT>(width), static_cast<INT>(height), static_cast<INT>(width * 4),
                       PixelFormat32bppARGB, reinterpret_cast<BYTE*>(scaled.Pixels.data()));
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
