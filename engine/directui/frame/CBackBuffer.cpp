#include "engine/directui/frame/CBackBuffer.h"

#include <cstdint>
#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// A bottom-up 32-bit image; null when the size is empty or too large.
HBITMAP CreateImage(HDC screen, int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    const uint64_t imageSize = static_cast<uint64_t>(width) * 4u * static_cast<uint64_t>(height);
    if (imageSize > 0x7FFFFFFFu)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(imageSize);
    void* bits = nullptr;
    return CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

} // namespace

CBackBuffer::~CBackBuffer()
{
    Destroy();
}

void CBackBuffer::Create(int width, int height)
{
    Destroy();
    m_width = width;
    m_height = height;
    Common::CScopedWindowDc screen(::GetDC(nullptr));
    if (!screen)
        return;
    m_bitmap.Reset(CreateImage(screen.Get(), width, height));
    // The device context is made even without an image, so that drawing on an
    // empty buffer has somewhere to go (and does nothing).
    m_dc.Reset(CreateCompatibleDC(screen.Get()));
    if (m_dc && m_bitmap)
        m_originalBitmap = SelectObject(m_dc.Get(), m_bitmap.Get());
}

void CBackBuffer::Destroy()
{
    if (m_dc && m_originalBitmap != nullptr)
        SelectObject(m_dc.Get(), m_originalBitmap);
    m_originalBitmap = nullptr;
    m_dc.Reset();
    m_bitmap.Reset();
}

HDC CBackBuffer::GetDC()
{
    return m_dc.Get();
}

void CBackBuffer::BitBlt(HDC target, int x, int y, int width, int height)
{
    if (!m_dc || target == nullptr)
        return;
    ::BitBlt(target, x, y, width, height, m_dc.Get(), x, y, SRCCOPY);
}

void CBackBuffer::BitBlt(HDC target)
{
    BitBlt(target, 0, 0, m_width, m_height);
}

Common::TIntrusivePointer<IBackBuffer> IBackBuffer_Create()
{
    return Common::TIntrusivePointer<IBackBuffer>(new (std::nothrow) CBackBuffer());
}

} // namespace DirectUI
} // namespace RVGameEngine
