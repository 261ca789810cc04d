#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// A 2D point or direction; a row vector in every transform.
struct RV_API tagVector2
{
    float x;
    float y;

    tagVector2() : x(0.0f), y(0.0f) {}
    tagVector2(float x_, float y_) : x(x_), y(y_) {}

    tagVector2& operator+=(const tagVector2& other)
    {
        x += other.x;
        y += other.y;
        return *this;
    }
    tagVector2& operator-=(const tagVector2& other)
    {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    tagVector2 operator+(const tagVector2& other) const { return tagVector2(x + other.x, y + other.y); }
    tagVector2 operator-(const tagVector2& other) const { return tagVector2(x - other.x, y - other.y); }
    tagVector2 operator*(float scalar) const { return tagVector2(x * scalar, y * scalar); }
    tagVector2 operator/(float scalar) const { return tagVector2(x / scalar, y / scalar); }
};

} // namespace Math
} // namespace RVGameEngine
