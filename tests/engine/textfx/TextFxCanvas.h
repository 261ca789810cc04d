#pragma once

#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/TScopedHandle.h"

#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace TextFxTest {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00C800, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kClear = 0x00000000;

inline Gdiplus::ARGB Alpha(Gdiplus::ARGB c) { return c >> 24; }
inline int Red(Gdiplus::ARGB c) { return (c >> 16) & 0xFF; }
inline int Green(Gdiplus::ARGB c) { return (c >> 8) & 0xFF; }
inline int Blue(Gdiplus::ARGB c) { return c & 0xFF; }

// GDI+ is started once for the whole test program, through the engine's own
// start-up, as in the real one.
struct GdiplusEnvironment : ::testing::Environment
{
    void SetUp() override { ASSERT_TRUE(RVGameEngine::Common::StartGdiplus()); }
};

inline const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

struct InkBox
{
    bool empty = true;
    int left = 0, top = 0, right = -1, bottom = -1;   // inclusive
};

// The pixels of a canvas at one moment.
struct Pixels
{
    int width = 0;
    std::vector<Gdiplus::ARGB> argb;
    Gdiplus::ARGB At(int x, int y) const { return argb[y * width + x]; }
    bool operator==(const Pixels& other) const { return argb == other.argb; }

    // Bounding box of the pixels that are (or, with equal false, are not) of the colour.
    InkBox BoxOf(Gdiplus::ARGB color, bool equal) const
    {
        InkBox box;
        for (int i = 0; i < static_cast<int>(argb.size()); ++i) {
            if ((argb[i] == color) != equal)
                continue;
            const int x = i % width, y = i / width;
            box = box.empty ? InkBox{false, x, y, x, y} : box;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = y;
        }
        return box;
    }
    InkBox Ink(Gdiplus::ARGB background) const { return BoxOf(background, false); }
    InkBox PixelsOf(Gdiplus::ARGB color) const { return BoxOf(color, true); }
};

// A 32 bpp ARGB bitmap with a graphics, cleared to one colour. Antialiasing
// is off unless asked for, so colours come out exactly.
class Canvas
{
public:
    Canvas(int width, int height, Gdiplus::ARGB background = kClear, bool antialias = false)
        : m_bitmap(width, height, PixelFormat32bppARGB), m_graphics(&m_bitmap)
    {
        m_graphics.Clear(Gdiplus::Color(background));
        m_graphics.SetSmoothingMode(antialias ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
    }

    Gdiplus::Graphics* G() { return &m_graphics; }

    Pixels Snapshot()
    {
        m_graphics.Flush(Gdiplus::FlushIntentionSync);
        const int width = static_cast<int>(m_bitmap.GetWidth()), height = static_cast<int>(m_bitmap.GetHeight());
        Pixels pixels{width, std::vector<Gdiplus::ARGB>(static_cast<size_t>(width) * height)};
        const Gdiplus::Rect whole(0, 0, width, height);
        // Read straight into the snapshot's own rows.
        Gdiplus::BitmapData data{UINT(width), UINT(height), width * 4, PixelFormat32bppARGB, pixels.argb.data(), 0};
        const bool locked = m_bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                              PixelFormat32bppARGB, &data) == Gdiplus::Ok;
        EXPECT_TRUE(locked);
        using Lock = RVGameEngine::Common::LockedBitsTraits<Gdiplus::Bitmap, Gdiplus::BitmapData>;
        RVGameEngine::Common::TScopedHandle<Lock> unlock(locked ? &data : nullptr, Lock{&m_bitmap});
        return pixels;
    }

private:
    Gdiplus::Bitmap m_bitmap;
    Gdiplus::Graphics m_graphics;
};

inline LOGFONTW MakeLogFont(const wchar_t* face, int pixelHeight)
{
    LOGFONTW font = {};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

} // namespace TextFxTest
