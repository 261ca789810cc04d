#include "engine/math/CMTRandom.h"

namespace RVGameEngine {
namespace Math {

namespace {
constexpr int kShift = 397;
constexpr uint32_t kTwist = 0x9908B0DFu;
constexpr uint32_t kUpperBit = 0x80000000u;
constexpr uint32_t kLowerBits = 0x7FFFFFFFu;
} // namespace

CMTRandom::CMTRandom(uint32_t seed)
{
    m_state[0] = seed;
    for (int i = 1; i < kStateSize; ++i) {
        const uint32_t previous = m_state[i - 1];
        m_state[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<uint32_t>(i);
    }
    m_index = kStateSize;
}

void CMTRandom::Regenerate()
{
    for (int i = 0; i < kStateSize; ++i) {
        const uint32_t y = (m_state[i] & kUpperBit) | (m_state[(i + 1) % kStateSize] & kLowerBits);
        m_state[i] = m_state[(i + kShift) % kStateSize] ^ (y >> 1) ^ ((y & 1u) ? kTwist : 0u);
    }
    m_index = 0;
}

uint32_t CMTRandom::NextUInt32()
{
    if (m_index >= kStateSize)
        Regenerate();
    uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

double CMTRandom::NextReal()
{
    return static_cast<double>(NextUInt32()) * (1.0 / 4294967296.0);
}

} // namespace Math
} // namespace RVGameEngine
