#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

namespace TextFxTest {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kGreen = 0xFF00C800;
constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;
constexpr Gdiplus::ARGB kWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kClear = 0x00000000;

struct InkBox
{
    bool empty = true;
    int left = 0, top = 0, right = -1, bottom = -1;   // inclusive
};

// The pixels of a canvas at one moment.
class Pixels
{
public:
    Pixels(int width, int height, std::vector<Gdiplus::ARGB> argb)
        : m_width(width), m_height(height), m_argb(std::move(argb)) {}

    Gdiplus::ARGB At(int x, int y) const { return m_argb[y * m_width + x]; }
    bool operator==(const Pixels& other) const { return m_argb == other.m_argb; }

    // Bounding box of the pixels that differ from the background.
    InkBox Ink(Gdiplus::ARGB background) const { return BoxOf(background, false); }
    // Bounding box of the pixels of exactly that colour.
    InkBox PixelsOf(Gdiplus::ARGB color) const { return BoxOf(color, true); }
    // First and last column on row y that differ from the background.
    bool RowInk(int y, Gdiplus::ARGB background, int& first, int& last) const;

private:
    InkBox BoxOf(Gdiplus::ARGB color, bool equal) const;

    int m_width;
    int m_height;
    std::vector<Gdiplus::ARGB> m_argb;
};

// A 32 bpp ARGB bitmap with a graphics, cleared to one colour. Antialiasing
// is off unless asked for, so colours come out exactly.
class Canvas
{
public:
    Canvas(int width, int height, Gdiplus::ARGB background = kClear, bool antialias = false);

    Gdiplus::Graphics* G() { return m_graphics.get(); }
    Pixels Snapshot();

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

LOGFONTW MakeLogFont(const wchar_t* face, int pixelHeight);

inline Gdiplus::ARGB Alpha(Gdiplus::ARGB c) { return c >> 24; }
inline int Red(Gdiplus::ARGB c) { return (c >> 16) & 0xFF; }
inline int Green(Gdiplus::ARGB c) { return (c >> 8) & 0xFF; }
inline int Blue(Gdiplus::ARGB c) { return c & 0xFF; }

} // namespace TextFxTest
