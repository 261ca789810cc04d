#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// A UI colour: four bytes in the order red, green, blue, alpha.
struct tagColor
{
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Alpha = 255;
};

} // namespace DirectUI
} // namespace RVGameEngine
