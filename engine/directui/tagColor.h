#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// A UI colour: red, green, blue, alpha, one byte each.
struct tagColor
{
    uint8_t red = 255;
    uint8_t green = 255;
    uint8_t blue = 255;
    uint8_t alpha = 255;

    tagColor() = default;
    tagColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) : red(r), green(g), blue(b), alpha(a) {}

    bool operator==(const tagColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
    bool operator!=(const tagColor& other) const { return !(*this == other); }

    bool IsOpaqueWhite() const { return red == 255 && green == 255 && blue == 255 && alpha == 255; }
    tagColor Opaque() const { return tagColor(red, green, blue, 255); }
    // The colour as a GDI+ ARGB word.
    uint32_t ToArgb() const
    {
        return (static_cast<uint32_t>(alpha) << 24) | (static_cast<uint32_t>(red) << 16) |
               (static_cast<uint32_t>(green) << 8) | blue;
    }
};

// Reads a colour attribute text: "r,g,b" (opaque) or "a,r,g,b"; anything with
// fewer than two commas is opaque black.
tagColor ParseUIColor(const wchar_t* text);

} // namespace DirectUI
} // namespace RVGameEngine
