#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// A 2D affine transform stored row by row (m[row * 3 + column]); a point
// (x, y, 1) is multiplied on the left, so the translation is in m[6], m[7].
struct RV_API tagMatrix3x3
{
    float m[9];

    tagMatrix3x3() : m{1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f} {}
    tagMatrix3x3(float m00, float m01, float m02,
                 float m10, float m11, float m12,
                 float m20, float m21, float m22)
        : m{m00, m01, m02, m10, m11, m12, m20, m21, m22}
    {
    }

    float& operator()(int row, int column) { return m[row * 3 + column]; }
    float operator()(int row, int column) const { return m[row * 3 + column]; }
};

} // namespace Math
} // namespace RVGameEngine
