#include "engine/math/RandomFunctions.h"

#include "engine/math/CMTRandom.h"
#include "engine/common/base/TimeFunctions.h"

#include <cmath>
#include <cstdlib>

namespace RVGameEngine {
namespace Math {

namespace {

constexpr int kDiscardedDraws = 37;

// Lives from the first seeding to the next; deliberately never freed at exit.
CMTRandom* g_generator = nullptr;

CMTRandom& Generator()
{
    if (g_generator == nullptr)
        Randomize();
    return *g_generator;
}

} // namespace

void Randomize()
{
    Randomize(Common::GetTimeMs());
}

void Randomize(int32_t seed)
{
    std::srand(static_cast<unsigned int>(seed));
    delete g_generator;
    g_generator = new CMTRandom(static_cast<uint32_t>(seed));
    for (int i = 0; i < kDiscardedDraws; ++i)
        g_generator->NextUInt32();
}

int32_t RandomInt(int32_t low, int32_t high)
{
    CMTRandom& generator = Generator();
    if (high == low)
        return low;
    if (high < low)
        return INT32_MIN;
    // The span in 64 bits: the full 32-bit range has 2^32 values, which a
    // 32-bit count would wrap to 0.
    const double span = static_cast<double>(static_cast<int64_t>(high) - low + 1);
    // Rounding down keeps every value equally likely; truncation toward zero
    // would fold the first step below zero onto zero for negative ranges.
    const double value = std::floor(generator.NextReal() * span + static_cast<double>(low));
    if (value > static_cast<double>(high))
        return high;
    return static_cast<int32_t>(value);
}

float RandomFloat(float low, float high)
{
    if (!(high > low))
        return high;
    const double r = Generator().NextReal();
    return static_cast<float>(static_cast<double>(low) + r * (static_cast<double>(high) - low));
}

} // namespace Math
} // namespace RVGameEngine
