#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Math {

// The 32-bit Mersenne Twister (MT19937) with the standard initialisation, so
// a seed always gives the published sequence.
class RV_API CMTRandom
{
public:
    explicit CMTRandom(uint32_t seed);

    uint32_t NextUInt32();
    // A real number in [0, 1) with 32 bits of resolution.
    double NextReal();

private:
    static constexpr int kStateSize = 624;

    void Regenerate();

    uint32_t m_state[kStateSize];
    int m_index;
};

} // namespace Math
} // namespace RVGameEngine
