#pragma once

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// Pixel access to a whole bitmap as 32 bpp ARGB, read and written back at
// the end of the scope.
class BitmapLock
{
public:
    // The whole bitmap, or only `area`, with the given lock mode.
    explicit BitmapLock(Gdiplus::Bitmap* bitmap,
                        UINT mode = Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                        const Gdiplus::Rect* area = nullptr)
        : m_lock(nullptr, Traits{bitmap})
    {
        const Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
        if (bitmap->LockBits(area != nullptr ? area : &whole, mode, PixelFormat32bppARGB, &m_data) == Gdiplus::Ok)
            m_lock.Reset(&m_data);
    }
    BitmapLock(const BitmapLock&) = delete;
    BitmapLock& operator=(const BitmapLock&) = delete;

    bool HasPixels() const { return m_lock.IsValid() && m_data.Scan0 != nullptr; }
    UINT Width() const { return m_data.Width; }
    UINT Height() const { return m_data.Height; }
    Gdiplus::ARGB& At(UINT x, UINT y)
    {
        BYTE* row = static_cast<BYTE*>(m_data.Scan0) + static_cast<INT>(y) * m_data.Stride;
        return reinterpret_cast<Gdiplus::ARGB*>(row)[x];
    }

private:
    using Traits = RVGameEngine::Common::LockedBitsTraits<Gdiplus::Bitmap, Gdiplus::BitmapData>;

    // Declared first: the lock gives the data record back when it ends.
    Gdiplus::BitmapData m_data = {};
    RVGameEngine::Common::TScopedHandle<Traits> m_lock;
};

} // namespace TextFx
