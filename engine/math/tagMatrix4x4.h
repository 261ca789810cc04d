#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// A 3D transform stored row by row (m[row * 4 + column]). Points are row
// vectors multiplied on the left, so the translation is in m[12], m[13], m[14].
struct RV_API tagMatrix4x4
{
    float m[16];

    tagMatrix4x4()
        : m{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
            0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}
    {
    }
    tagMatrix4x4(float m00, float m01, float m02, float m03,
                 float m10, float m11, float m12, float m13,
                 float m20, float m21, float m22, float m23,
                 float m30, float m31, float m32, float m33)
        : m{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33}
    {
    }

    float& operator()(int row, int column) { return m[row * 4 + column]; }
    float operator()(int row, int column) const { return m[row * 4 + column]; }

    tagMatrix4x4 operator+(const tagMatrix4x4& other) const;
    tagMatrix4x4 operator-(const tagMatrix4x4& other) const;
    tagMatrix4x4 operator*(float scalar) const;
    tagMatrix4x4 operator/(float scalar) const;
};

} // namespace Math
} // namespace RVGameEngine
