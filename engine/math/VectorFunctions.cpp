#include "engine/math/VectorFunctions.h"

#include <cmath>

namespace RVGameEngine {
namespace Math {

namespace {

// Sums of products are formed in double and rounded once when stored.
inline double D(float value)
{
    return static_cast<double>(value);
}

inline float F(double value)
{
    return static_cast<float>(value);
}

} // namespace

tagVector2 Vector2Construct()
{
    return tagVector2();
}

tagVector2 Vector2Construct(float x, float y)
{
    return tagVector2(x, y);
}

tagVector3 Vector3Construct()
{
    return tagVector3();
}

tagVector3 Vector3Construct(float x, float y, float z)
{
    return tagVector3(x, y, z);
}

void Vector2Clear(tagVector2& v)
{
    v = tagVector2();
}

void Vector3Clear(tagVector3& v)
{
    v = tagVector3();
}

void Vector2Lerp(tagVector2& out, const tagVector2& a, const tagVector2& b, float t)
{
    const float keep = 1.0f - t;
    out.x = F(D(a.x) * keep + D(b.x) * t);
    out.y = F(D(a.y) * keep + D(b.y) * t);
}

void Vector3Lerp(tagVector3& out, const tagVector3& a, const tagVector3& b, float t)
{
    const float keep = 1.0f - t;
    out.x = F(D(a.x) * keep + D(b.x) * t);
    out.y = F(D(a.y) * keep + D(b.y) * t);
    out.z = F(D(a.z) * keep + D(b.z) * t);
}

float Vector2LengthSq(const tagVector2& v)
{
    return F(D(v.x) * v.x + D(v.y) * v.y);
}

float Vector3LengthSq(const tagVector3& v)
{
    return F(D(v.x) * v.x + D(v.y) * v.y + D(v.z) * v.z);
}

float Vector2Length(const tagVector2& v)
{
    return F(std::sqrt(D(v.x) * v.x + D(v.y) * v.y));
}

float Vector3Length(const tagVector3& v)
{
    return F(std::sqrt(D(v.x) * v.x + D(v.y) * v.y + D(v.z) * v.z));
}

// The length stays in double: rounded to float it overflows to infinity for
// long vectors, and dividing by that would zero the vector.
void Vector2Normalize(tagVector2& v)
{
    const double length = std::sqrt(D(v.x) * v.x + D(v.y) * v.y);
    if (length == 0.0)
        return;
    v.x = F(v.x / length);
    v.y = F(v.y / length);
}

void Vector3Normalize(tagVector3& v)
{
    const double length = std::sqrt(D(v.x) * v.x + D(v.y) * v.y + D(v.z) * v.z);
    if (length == 0.0)
        return;
    v.x = F(v.x / length);
    v.y = F(v.y / length);
    v.z = F(v.z / length);
}

float Vector2Dot(const tagVector2& a, const tagVector2& b)
{
    return F(D(a.x) * b.x + D(a.y) * b.y);
}

float Vector3Dot(const tagVector3& a, const tagVector3& b)
{
    return F(D(a.x) * b.x + D(a.y) * b.y + D(a.z) * b.z);
}

void Vector3CrossProduct(tagVector3& out, const tagVector3& a, const tagVector3& b)
{
    const tagVector3 result(F(D(a.y) * b.z - D(a.z) * b.y),
                            F(D(a.z) * b.x - D(a.x) * b.z),
                            F(D(a.x) * b.y - D(a.y) * b.x));
    out = result;
}

bool Vector3IsBetweenVectors(const tagVector3& p, const tagVector3& a, const tagVector3& b)
{
    const float span = Vector3LengthSq(b - a);
    return span >= Vector3LengthSq(a - p) && span >= Vector3LengthSq(b - p);
}

void Vector3TransformCoord(tagVector3& out, const tagVector3& v, const tagMatrix4x4& m)
{
    const tagVector3 result(F(D(v.x) * m.m[0] + D(v.y) * m.m[4] + D(v.z) * m.m[8] + m.m[12]),
                            F(D(v.x) * m.m[1] + D(v.y) * m.m[5] + D(v.z) * m.m[9] + m.m[13]),
                            F(D(v.x) * m.m[2] + D(v.y) * m.m[6] + D(v.z) * m.m[10] + m.m[14]));
    out = result;
}

void Vector3TransformNormal(tagVector3& out, const tagVector3& v, const tagMatrix4x4& m)
{
    const tagVector3 result(F(D(v.x) * m.m[0] + D(v.y) * m.m[4] + D(v.z) * m.m[8]),
                            F(D(v.x) * m.m[1] + D(v.y) * m.m[5] + D(v.z) * m.m[9]),
                            F(D(v.x) * m.m[2] + D(v.y) * m.m[6] + D(v.z) * m.m[10]));
    out = result;
}

void Vector2TransformCoord(tagVector2& out, const tagVector2& v, const tagMatrix3x3& m)
{
    const tagVector2 result(F(D(v.x) * m.m[0] + D(v.y) * m.m[3] + m.m[6]),
                            F(D(v.x) * m.m[1] + D(v.y) * m.m[4] + m.m[7]));
    out = result;
}

void Matrix3x3TransformVector2(tagVector3& out, const tagVector3& v, const tagMatrix3x3& m)
{
    tagVector2 xy;
    Vector2TransformCoord(xy, tagVector2(v.x, v.y), m);
    out = tagVector3(xy.x, xy.y, v.z);
}

} // namespace Math
} // namespace RVGameEngine
