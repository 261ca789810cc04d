#include "engine/directui/drawing/CImageData.h"

#include "engine/common/base/IStream.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

namespace RVGameEngine {
namespace DirectUI {

CImageData::~CImageData()
{
    if (m_destroyed != nullptr)
        m_destroyed(this);
    m_image.reset();
}

void CImageData::SetFileName(const wchar_t* path)
{
    m_fileName = path != nullptr ? path : L"";
}

int32_t CImageData::GetWidth()
{
    DecodeOnce();
    return m_image != nullptr ? static_cast<int32_t>(m_image->GetWidth()) : 0;
}

int32_t CImageData::GetHeight()
{
    DecodeOnce();
    return m_image != nullptr ? static_cast<int32_t>(m_image->GetHeight()) : 0;
}

bool CImageData::HasPicture()
{
    DecodeOnce();
    return m_image != nullptr;
}

void CImageData::DecodeOnce()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_fileName.empty())
        return;
    FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance();
    if (files == nullptr)
        return;
    Common::TIntrusivePointer<Common::IStream> bytes = files->ReadFileUnscrambled(m_fileName.c_str());
    if (bytes.IsNull() || bytes->GetSize() <= 0)
        return;
    const Common::enmImageDecodeResult decoded =
        Common::DecodeImage(bytes->GetData(), static_cast<uint32_t>(bytes->GetSize()), false, m_pixels);
    if (decoded != Common::IMAGE_DECODED) {
        if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
            log->Log(FileSystem::LOG_LEVEL_ERROR, L"UI image %s could not be decoded", m_fileName.c_str());
        return;
    }
    // GDI+ objects come from GDI+'s own allocator, which gives null rather
    // than stopping the program.
    m_image.reset(new Gdiplus::Bitmap(static_cast<INT>(m_pixels.Width), static_cast<INT>(m_pixels.Height),
                                      static_cast<INT>(m_pixels.Width * 4), PixelFormat32bppARGB,
                                      reinterpret_cast<BYTE*>(m_pixels.Pixels.get())));
    if (m_image != nullptr && m_image->GetLastStatus() != Gdiplus::Ok)
        m_image.reset();
}

void CImageData::Draw(Gdiplus::Graphics* graphics, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, tagColor color)
{
    if (graphics == nullptr || !HasPicture())
        return;
    const Gdiplus::Rect destination(x, y, width, height);
    if (IsOpaqueWhite(color)) {
        graphics->DrawImage(m_image.get(), destination, srcX, srcY, srcWidth, srcHeight, Gdiplus::UnitPixel);
        return;
    }
    // Tints by scaling each channel, alpha included, by the colour's share.
    Gdiplus::ColorMatrix matrix = {};
    matrix.m[0][0] = color.red / 255.0f;
    matrix.m[1][1] = color.green / 255.0f;
    matrix.m[2][2] = color.blue / 255.0f;
    matrix.m[3][3] = color.alpha / 255.0f;
    matrix.m[4][4] = 1.0f;
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeBitmap);
    graphics->DrawImage(m_image.get(), destination, srcX, srcY, srcWidth, srcHeight, Gdiplus::UnitPixel,
                        &attributes);
}

} // namespace DirectUI
} // namespace RVGameEngine
