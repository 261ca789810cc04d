#pragma once

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// Pixel access to a whole bitmap as 32 bpp ARGB, read and written back at
// the end of the scope.
class BitmapLock
{
public:
    explicit BitmapLock(Gdiplus::Bitmap* bitmap) : m_bitmap(bitmap)
    {
        const Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
        m_locked = bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                                    PixelFormat32bppARGB, &m_data) == Gdiplus::Ok;
    }
    ~BitmapLock()
    {
        if (m_locked)
            m_bitmap->UnlockBits(&m_data);
    }
    BitmapLock(const BitmapLock&) = delete;
    BitmapLock& operator=(const BitmapLock&) = delete;

    bool HasPixels() const { return m_locked && m_data.Scan0 != nullptr; }
    UINT Width() const { return m_data.Width; }
    UINT Height() const { return m_data.Height; }
    Gdiplus::ARGB& At(UINT x, UINT y)
    {
        BYTE* row = static_cast<BYTE*>(m_data.Scan0) + static_cast<INT>(y) * m_data.Stride;
        return reinterpret_cast<Gdiplus::ARGB*>(row)[x];
    }

private:
    Gdiplus::Bitmap* m_bitmap;
    Gdiplus::BitmapData m_data = {};
    bool m_locked = false;
};

} // namespace TextFx
