#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Math {

// One process-wide generator, not locked: draw from one thread only.

// Seeds with the millisecond clock.
RV_API void Randomize();
// Seeds the runtime's rand() too, and starts a fresh generator that has
// already skipped its first 37 numbers.
RV_API void Randomize(int32_t seed);
// A whole number from low to high, both included, uniformly. Returns low
// without drawing when high equals low, and INT32_MIN when high is below low.
// Seeds from the clock first when nothing has seeded yet.
RV_API int32_t RandomInt(int32_t low, int32_t high);
// A number from low up to (not including) high; high itself when the range is empty.
RV_API float RandomFloat(float low, float high);

} // namespace Math

} // namespace RVGameEngine
