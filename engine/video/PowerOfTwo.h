#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// The smallest power of two not below the size (1 for 0 and 1), the size a
// device that needs powers of two gives a texture.
inline uint32_t RoundUpToPowerOfTwo(uint32_t size)
{
    uint32_t power = 1;
    while (power < size && power < 0x80000000u)
        power <<= 1;
    return power;
}

} // namespace Video
} // namespace RVGameEngine
