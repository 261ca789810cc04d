#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

namespace TextFxTest {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kGreen = 0xFF00C800;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kClear = 0x00000000;

inline Gdiplus::ARGB Alpha(Gdiplus::ARGB c) { return c >> 24; }
inline int Red(Gdiplus::ARGB c) { return (c >> 16) & 0xFF; }
inline int Green(Gdiplus::ARGB c) { return (c >> 8) & 0xFF; }
inline int Blue(Gdiplus::ARGB c) { return c & 0xFF; }

// GDI+ is started once for the whole test program, as the engine's start-up
// does in the real one.
class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
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
            if (box.empty)
                box = {false, x, y, x, y};
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
        : m_bitmap(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB)), m_graphics(m_bitmap.get())
    {
        m_graphics.Clear(Gdiplus::Color(background));
        m_graphics.SetSmoothingMode(antialias ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
    }

    Gdiplus::Graphics* G() { return &m_graphics; }

    Pixels Snapshot()
    {
        m_graphics.Flush(Gdiplus::FlushIntentionSync);
        const int width = static_cast<int>(m_bitmap->GetWidth()), height = static_cast<int>(m_bitmap->GetHeight());
        Pixels pixels{width, std::vector<Gdiplus::ARGB>(static_cast<size_t>(width) * height)};
        const Gdiplus::Rect whole(0, 0, width, height);
        Gdiplus::BitmapData data = {};
        if (m_bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
            ADD_FAILURE() << "canvas cannot be read";
            return pixels;
        }
        for (int y = 0; y < height; ++y)
            std::memcpy(&pixels.argb[static_cast<size_t>(y) * width],
                        static_cast<const BYTE*>(data.Scan0) + y * data.Stride, width * sizeof(Gdiplus::ARGB));
        m_bitmap->UnlockBits(&data);
        return pixels;
    }

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
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
