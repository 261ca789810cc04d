#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/math/tagMatrix3x3.h"
#include "engine/math/tagMatrix4x3.h"
#include "engine/math/tagMatrix4x4.h"
#include "engine/math/tagVector3.h"

namespace RVGameEngine {
namespace Math {

// Row vectors, left-handed, radians. Multiply(out, A, B) is A × B: A's
// transform happens first. Outputs may be the same object as an input.

RV_API tagMatrix3x3 Matrix3x3Construct();
RV_API tagMatrix3x3 Matrix3x3Construct(float m00, float m01, float m02,
                                       float m10, float m11, float m12,
                                       float m20, float m21, float m22);
RV_API tagMatrix4x4 Matrix4x4Construct();
RV_API tagMatrix4x4 Matrix4x4Construct(float m00, float m01, float m02, float m03,
                                       float m10, float m11, float m12, float m13,
                                       float m20, float m21, float m22, float m23,
                                       float m30, float m31, float m32, float m33);

RV_API void Matrix3x3Identity(tagMatrix3x3& out);
RV_API void Matrix3x3Translation(tagMatrix3x3& out, float x, float y);
RV_API void Matrix3x3Scaling(tagMatrix3x3& out, float x, float y);
RV_API void Matrix3x3Rotation(tagMatrix3x3& out, float angle);
RV_API void Matrix3x3Multiply(tagMatrix3x3& out, const tagMatrix3x3& a, const tagMatrix3x3& b);

RV_API void Matrix4x4Identity(tagMatrix4x4& out);
RV_API void Matrix4x4Translation(tagMatrix4x4& out, float x, float y, float z);
RV_API void Matrix4x4Scaling(tagMatrix4x4& out, float x, float y, float z);
RV_API void Matrix4x4RotationX(tagMatrix4x4& out, float angle);
RV_API void Matrix4x4RotationY(tagMatrix4x4& out, float angle);
RV_API void Matrix4x4RotationZ(tagMatrix4x4& out, float angle);
// RotationZ × RotationY × RotationX: a point turns about z first, then y, then x.
RV_API void Matrix4x4RotationZYX(tagMatrix4x4& out, float x, float y, float z);
// RotationX × RotationY × RotationZ: a point turns about x first, then y, then z.
RV_API void Matrix4x4RotationXYZ(tagMatrix4x4& out, float x, float y, float z);
RV_API void Matrix4x4Multiply(tagMatrix4x4& out, const tagMatrix4x4& a, const tagMatrix4x4& b);

// Scale, then rotate (RotationZYX of the angles), then the optional extra
// transform; the translation is written in last and replaces any the extra had.
RV_API void Matrix4x4FromTRS(tagMatrix4x4& out, const tagVector3& translation,
                             const tagVector3& rotation, const tagVector3& scale,
                             const tagMatrix4x4* extra = nullptr);
RV_API void Matrix4x4FromMatrix4x3(tagMatrix4x4& out, const tagMatrix4x3& m);
RV_API void Matrix4x3Lerp(tagMatrix4x3& out, const tagMatrix4x3& a, const tagMatrix4x3& b, float t);

// Left-handed projection with depth mapped to -1 (near) .. +1 (far).
// fieldOfView is vertical, in degrees; factor scales x (1 / aspect ratio).
RV_API void Matrix4x4PerspectiveLH_OGL(tagMatrix4x4& out, float fieldOfView, float factor,
                                       float nearPlane, float farPlane);
// Left-handed view matrix looking from eye towards target.
RV_API void Matrix4x4LookAtLH(tagMatrix4x4& out, float eyeX, float eyeY, float eyeZ,
                              float targetX, float targetY, float targetZ,
                              float upX, float upY, float upZ);
// Adjugate over determinant. A singular matrix gives infinities or NaNs.
RV_API void Matrix4x4Inverse(tagMatrix4x4& out, const tagMatrix4x4& m);

} // namespace Math
} // namespace RVGameEngine
