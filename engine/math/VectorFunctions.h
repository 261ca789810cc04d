#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/math/tagMatrix3x3.h"
#include "engine/math/tagMatrix4x4.h"
#include "engine/math/tagVector2.h"
#include "engine/math/tagVector3.h"

namespace RVGameEngine {
namespace Math {

// Output parameters come first and may be the same object as an input.

RV_API tagVector2 Vector2Construct();
RV_API tagVector2 Vector2Construct(float x, float y);
RV_API tagVector3 Vector3Construct();
RV_API tagVector3 Vector3Construct(float x, float y, float z);

RV_API void Vector2Clear(tagVector2& v);
RV_API void Vector3Clear(tagVector3& v);

// a × (1 - t) + b × t per component.
RV_API void Vector2Lerp(tagVector2& out, const tagVector2& a, const tagVector2& b, float t);
RV_API void Vector3Lerp(tagVector3& out, const tagVector3& a, const tagVector3& b, float t);

RV_API float Vector2LengthSq(const tagVector2& v);
RV_API float Vector3LengthSq(const tagVector3& v);
RV_API float Vector2Length(const tagVector2& v);
RV_API float Vector3Length(const tagVector3& v);

// Scales to length 1 in place; a zero vector has no direction and stays as it is.
RV_API void Vector2Normalize(tagVector2& v);
RV_API void Vector3Normalize(tagVector3& v);

RV_API float Vector2Dot(const tagVector2& a, const tagVector2& b);
RV_API float Vector3Dot(const tagVector3& a, const tagVector3& b);
RV_API void Vector3CrossProduct(tagVector3& out, const tagVector3& a, const tagVector3& b);

// True when p lies no farther from either end than the ends lie from each other.
RV_API bool Vector3IsBetweenVectors(const tagVector3& p, const tagVector3& a, const tagVector3& b);

// v × m as a point (w = 1, no division by w).
RV_API void Vector3TransformCoord(tagVector3& out, const tagVector3& v, const tagMatrix4x4& m);
// v × the upper 3×3 part of m: a direction, untouched by translation.
RV_API void Vector3TransformNormal(tagVector3& out, const tagVector3& v, const tagMatrix4x4& m);
// (x, y, 1) × m, keeping x and y.
RV_API void Vector2TransformCoord(tagVector2& out, const tagVector2& v, const tagMatrix3x3& m);
// As Vector2TransformCoord for x and y; z (a depth or layer) passes through.
RV_API void Matrix3x3TransformVector2(tagVector3& out, const tagVector3& v, const tagMatrix3x3& m);

} // namespace Math
} // namespace RVGameEngine
