#include "engine/math/CBoundingSphere2D.h"

namespace RVGameEngine {
namespace Math {

bool CBoundingSphere2D::InOrIntersectsBoundingSphere(const CBoundingSphere2D& other) const
{
    // Doubles keep exact touching (distance == sum of radii) from failing on
    // rounding of the squares.
    const double dx = static_cast<double>(other.m_x) - m_x;
    const double dy = static_cast<double>(other.m_y) - m_y;
    const double reach = static_cast<double>(m_radius) + other.m_radius;
    return dx * dx + dy * dy <= reach * reach;
}

} // namespace Math
} // namespace RVGameEngine
