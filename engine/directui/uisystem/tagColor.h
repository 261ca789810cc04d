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
};

} // namespace DirectUI
} // namespace RVGameEngine
