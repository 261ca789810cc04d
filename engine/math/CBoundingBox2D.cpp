#include "engine/math/CBoundingBox2D.h"

#include <algorithm>
#include <cmath>

namespace RVGameEngine {
namespace Math {

namespace {
constexpr float kEmptyExtent = 10000000.0f;
}

CBoundingBox2D CBoundingBox2DConstruct()
{
    return CBoundingBox2D();
}

void CBoundingBox2D::Reset()
{
    m_min = tagVector2(kEmptyExtent, kEmptyExtent);
    m_max = tagVector2(-kEmptyExtent, -kEmptyExtent);
    m_center = tagVector2(kEmptyExtent, kEmptyExtent);
    m_radius = 0.0f;
    m_stale = 0;
}

void CBoundingBox2D::Extend(float x, float y)
{
    m_min.x = std::min(m_min.x, x);
    m_min.y = std::min(m_min.y, y);
    m_max.x = std::max(m_max.x, x);
    m_max.y = std::max(m_max.y, y);
    m_stale = 1;
}

void CBoundingBox2D::ExtendBoundingBox(const tagVector2& point)
{
    Extend(point.x, point.y);
}

void CBoundingBox2D::ExtendBoundingBox(const tagVector3& point)
{
    Extend(point.x, point.y);
}

void CBoundingBox2D::ExtendBoundingBox(const CBoundingBox2D& box)
{
    // Corner by corner, not as two points: an empty box (minimum above
    // maximum) must leave this one as it is rather than stretch it across
    // both of its sentinel corners.
    m_min.x = std::min(m_min.x, box.m_min.x);
    m_min.y = std::min(m_min.y, box.m_min.y);
    m_max.x = std::max(m_max.x, box.m_max.x);
    m_max.y = std::max(m_max.y, box.m_max.y);
    m_stale = 1;
}

void CBoundingBox2D::ExtendBoundingBox(const CBoundingSphere2D& sphere)
{
    const float r = sphere.GetRadius();
    Extend(sphere.GetX() - r, sphere.GetY() - r);
    Extend(sphere.GetX() + r, sphere.GetY() + r);
}

void CBoundingBox2D::CalculateBoundingSphere()
{
    if (!m_stale)
        return;
    m_center = (m_min + m_max) / 2.0f;
    const double dx = static_cast<double>(m_max.x) - m_center.x;
    const double dy = static_cast<double>(m_max.y) - m_center.y;
    m_radius = static_cast<float>(std::sqrt(dx * dx + dy * dy));
    m_stale = 0;
}

const tagVector2& CBoundingBox2D::GetBoundingCenter()
{
    CalculateBoundingSphere();
    return m_center;
}

float CBoundingBox2D::GetBoundingRadius()
{
    CalculateBoundingSphere();
    return m_radius;
}

void CBoundingBox2D::GetInnerBoundingSphere(CBoundingSphere2D& out)
{
    CalculateBoundingSphere();
    out.Set(m_center.x, m_center.y, (m_max.x - m_min.x) / 2.0f);
}

bool CBoundingBox2D::InOrIntersectsBoundingBox(const CBoundingBox2D& other) const
{
    if (other.m_max.x < m_min.x || other.m_min.x > m_max.x)
        return false;
    if (other.m_max.y < m_min.y || other.m_min.y > m_max.y)
        return false;
    return true;
}

} // namespace Math
} // namespace RVGameEngine
