#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/ImageDecoder.h"
#include "engine/directui/uisystem/tagColor.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// The decoded picture of one file, shared by every image loaded from that
// name through the image data cache. Decoding happens once, on the first
// size query or draw; a file that cannot be read or decoded stays empty (one
// log line says which).
class CImageData : public Common::IReferenceCounted
{
public:
    CImageData() = default;
    ~CImageData() override;
    CImageData(const CImageData&) = delete;
    CImageData& operator=(const CImageData&) = delete;

    // Called as the data goes, so that whoever lends it out by name (the
    // image data cache) forgets it.
    using DestroyedHook = void (*)(CImageData* data);
    void SetDestroyedHook(DestroyedHook hook) { m_destroyed = hook; }

    void SetFileName(const wchar_t* path);
    const std::wstring& GetFileName() const { return m_fileName; }

    int32_t GetWidth();
    int32_t GetHeight();
    bool HasPicture();
    void Draw(Gdiplus::Graphics* graphics, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX,
              int32_t srcY, int32_t srcWidth, int32_t srcHeight, tagColor color);

private:
    void DecodeOnce();

    DestroyedHook m_destroyed = nullptr;
    std::wstring m_fileName;
    bool m_loaded = false;
    // The bitmap draws straight from the decoded pixels, which therefore go
    // after it.
    Common::tagDecodedImage m_pixels;
    std::unique_ptr<Gdiplus::Bitmap> m_image;
};

} // namespace DirectUI
} // namespace RVGameEngine
