#include "engine/common/base/ImageDecoder.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/IEngineLog.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <new>

namespace RVGameEngine {
namespace Common {

namespace {

void LogImageRefused(const wchar_t* reason, uint32_t width, uint32_t height)
{
    EngineLog(ENGINE_LOG_ERROR, L"Image of %u x %u pixels refused: %s", width, height, reason);
}

bool FitsTheLimits(uint32_t width, uint32_t height)
{
    return width <= kMaxImageSide && height <= kMaxImageSide &&
           static_cast<uint64_t>(width) * height <= kMaxImagePixels;
}

bool CopyPixels(Gdiplus::Bitmap& bitmap, tagDecodedImage& image)
{
    Gdiplus::Rect whole(0, 0, static_cast<INT>(image.Width), static_cast<INT>(image.Height));
    Gdiplus::BitmapData data{};
    data.Width = image.Width;
    data.Height = image.Height;
    data.Stride = static_cast<INT>(image.Width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = image.Pixels.get();
    // The caller's buffer receives the pixels directly, converted to ARGB.
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return false;
    return bitmap.UnlockBits(&data) == Gdiplus::Ok;
}

} // namespace

bool tagDecodedImage::AllocatePixels(uint32_t width, uint32_t height)
{
    Width = width;
    Height = height;
    // Without the nothrow form a failure would stop the program.
    Pixels.reset(new (std::nothrow) uint32_t[GetPixelCount()]());
    if (Pixels == nullptr) {
        Width = 0;
        Height = 0;
        return false;
    }
    return true;
}

enmImageDecodeResult DecodeImage(const void* data, uint32_t size, bool sizeOnly, tagDecodedImage& image)
{
    image = tagDecodedImage();
    if (data == nullptr || size == 0 || !StartGdiplus())
        return IMAGE_NOT_READABLE;
    TComPointer<::IStream> stream;
    *stream.Receive() = SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream)
        return IMAGE_NOT_READABLE;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return IMAGE_NOT_READABLE;
    const uint32_t width = bitmap->GetWidth();
    const uint32_t height = bitmap->GetHeight();
    if (width == 0 || height == 0)
        return IMAGE_NOT_READABLE;
    if (!FitsTheLimits(width, height)) {
        LogImageRefused(L"too large", width, height);
        return IMAGE_TOO_LARGE;
    }
    if (sizeOnly) {
        image.Width = width;
        image.Height = height;
        return IMAGE_DECODED;
    }
    if (!image.AllocatePixels(width, height)) {
        LogImageRefused(L"out of memory", width, height);
        return IMAGE_OUT_OF_MEMORY;
    }
    if (!CopyPixels(*bitmap, image)) {
        image = tagDecodedImage();
        return IMAGE_NOT_READABLE;
    }
    return IMAGE_DECODED;
}

} // namespace Common
} // namespace RVGameEngine
