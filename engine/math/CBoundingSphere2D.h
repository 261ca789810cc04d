#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

// A circle in the plane, used for coarse hit and overlap tests.
class RV_API CBoundingSphere2D
{
public:
    CBoundingSphere2D() = default;
    CBoundingSphere2D(float x, float y, float radius) : m_x(x), m_y(y), m_radius(radius) {}

    // Touching circles count as intersecting.
    bool InOrIntersectsBoundingSphere(const CBoundingSphere2D& other) const;

    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetRadius() const { return m_radius; }
    void Set(float x, float y, float radius)
    {
        m_x = x;
        m_y = y;
        m_radius = radius;
    }

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_radius = 0.0f;
};

} // namespace Math
} // namespace RVGameEngine
