#include "engine/math/tagMatrix4x4.h"

namespace RVGameEngine {
namespace Math {

tagMatrix4x4 tagMatrix4x4::operator+(const tagMatrix4x4& other) const
{
    tagMatrix4x4 result;
    for (int i = 0; i < 16; ++i)
        result.m[i] = m[i] + other.m[i];
    return result;
}

tagMatrix4x4 tagMatrix4x4::operator-(const tagMatrix4x4& other) const
{
    tagMatrix4x4 result;
    for (int i = 0; i < 16; ++i)
        result.m[i] = m[i] - other.m[i];
    return result;
}

tagMatrix4x4 tagMatrix4x4::operator*(float scalar) const
{
    tagMatrix4x4 result;
    for (int i = 0; i < 16; ++i)
        result.m[i] = m[i] * scalar;
    return result;
}

tagMatrix4x4 tagMatrix4x4::operator/(float scalar) const
{
    tagMatrix4x4 result;
    for (int i = 0; i < 16; ++i)
        result.m[i] = m[i] / scalar;
    return result;
}

} // namespace Math
} // namespace RVGameEngine
