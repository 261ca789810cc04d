#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// An affine 3D transform as four rows of three; the missing fourth column is
// (0, 0, 0, 1). Left uninitialised like the raw data it is read from.
struct RV_API tagMatrix4x3
{
    float m[12];

    float& operator()(int row, int column) { return m[row * 3 + column]; }
    float operator()(int row, int column) const { return m[row * 3 + column]; }
};

} // namespace Math
} // namespace RVGameEngine
