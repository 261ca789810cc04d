#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// A colour of the UI code: four bytes in the order red, green, blue, alpha.
// (The video code packs its colours into one 32-bit word instead.) A colour
// made without values is transparent black, all bytes zero, as a video colour
// made without a value is.
struct tagColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    tagColor() = default;
    tagColor(uint8_t redValue, uint8_t greenValue, uint8_t blueValue, uint8_t alphaValue = 255)
        : red(redValue), green(greenValue), blue(blueValue), alpha(alphaValue)
    {
    }

    bool operator==(const tagColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
    bool operator!=(const tagColor& other) const { return !(*this == other); }
};

static_assert(sizeof(tagColor) == 4, "a UI colour is four bytes");

} // namespace Common
} // namespace RVGameEngine
