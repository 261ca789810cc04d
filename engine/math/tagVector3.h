#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// A 3D point or direction; a row vector in every transform.
struct RV_API tagVector3
{
    float x;
    float y;
    float z;

    tagVector3() : x(0.0f), y(0.0f), z(0.0f) {}
    tagVector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    tagVector3& operator+=(const tagVector3& other)
    {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }
    tagVector3& operator-=(const tagVector3& other)
    {
        x -= other.x;
        y -= other.y;
        z -= other.z;
        return *this;
    }
    tagVector3 operator+(const tagVector3& o) const { return tagVector3(x + o.x, y + o.y, z + o.z); }
    tagVector3 operator-(const tagVector3& o) const { return tagVector3(x - o.x, y - o.y, z - o.z); }
    tagVector3 operator*(float s) const { return tagVector3(x * s, y * s, z * s); }
    tagVector3 operator/(float s) const { return tagVector3(x / s, y / s, z / s); }
};

} // namespace Math
} // namespace RVGameEngine
