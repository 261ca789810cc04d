#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// A video colour: one 32-bit word, alpha in the top byte, then red, green,
// blue, the layout Direct3D takes as a vertex colour. (The UI toolkit's
// colours are four bytes in another order.) Made without a value it is
// transparent black, as the UI's colour is.
struct RV_API tagColor
{
    uint32_t Value = 0;

    tagColor() = default;
    explicit tagColor(uint32_t packed) : Value(packed) {}
    tagColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
        : Value(static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
                static_cast<uint32_t>(green) << 8 | blue)
    {
    }

    static tagColor White() { return tagColor(0xFFFFFFFFu); }
};

} // namespace Video
} // namespace RVGameEngine
