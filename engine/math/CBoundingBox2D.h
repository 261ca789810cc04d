#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/math/CBoundingSphere2D.h"
#include "engine/math/tagVector2.h"
#include "engine/math/tagVector3.h"

#include <cstdint>

namespace RVGameEngine {
namespace Math {

// An axis-aligned box grown point by point. The enclosing circle (centre and
// radius) is worked out lazily, only when asked for after the box changed.
class RV_API CBoundingBox2D
{
public:
    CBoundingBox2D() { Reset(); }

    // Empty box: minimum far above any maximum, so the first point sets both.
    void Reset();

    void ExtendBoundingBox(const tagVector2& point);
    void ExtendBoundingBox(const tagVector3& point);
    void ExtendBoundingBox(const CBoundingBox2D& box);
    void ExtendBoundingBox(const CBoundingSphere2D& sphere);

    const tagVector2& GetBoundingMin() const { return m_min; }
    const tagVector2& GetBoundingMax() const { return m_max; }

    void CalculateBoundingSphere();
    const tagVector2& GetBoundingCenter();
    float GetBoundingRadius();
    // The circle at the centre whose radius is half the box's width.
    void GetInnerBoundingSphere(CBoundingSphere2D& out);

    // Touching boxes count as intersecting.
    bool InOrIntersectsBoundingBox(const CBoundingBox2D& other) const;

private:
    void Extend(float x, float y);

    tagVector2 m_min;
    tagVector2 m_max;
    tagVector2 m_center;
    float m_radius = 0.0f;
    int32_t m_stale = 0;
};

// An empty box, as after Reset.
RV_API CBoundingBox2D CBoundingBox2DConstruct();

} // namespace Math
} // namespace RVGameEngine
