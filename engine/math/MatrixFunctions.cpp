#include "engine/math/MatrixFunctions.h"

#include "engine/math/AngleFunctions.h"
#include "engine/math/VectorFunctions.h"

#include <cmath>

namespace RVGameEngine {
namespace Math {

namespace {

void CosSin(float angle, float& c, float& s)
{
    c = static_cast<float>(std::cos(static_cast<double>(angle)));
    s = static_cast<float>(std::sin(static_cast<double>(angle)));
}

// out = a × b for square N×N row-major matrices, summed in double; out may
// be a or b.
template <int N, typename Matrix>
void MultiplySquare(Matrix& out, const Matrix& a, const Matrix& b)
{
    Matrix result;
    for (int row = 0; row < N; ++row) {
        for (int column = 0; column < N; ++column) {
            double sum = 0.0;
            for (int k = 0; k < N; ++k)
                sum += static_cast<double>(a.m[row * N + k]) * b.m[k * N + column];
            result.m[row * N + column] = static_cast<float>(sum);
        }
    }
    out = result;
}

// A turn in the plane of axes `from` and `to`: a positive angle turns `from`
// towards `to`.
void PlaneRotation(tagMatrix4x4& out, float angle, int from, int to)
{
    float c, s;
    CosSin(angle, c, s);
    out = tagMatrix4x4();
    out.m[from * 4 + from] = c;
    out.m[from * 4 + to] = s;
    out.m[to * 4 + from] = -s;
    out.m[to * 4 + to] = c;
}

// first × second × third of the three axis rotations (0 = x, 1 = y, 2 = z).
void ComposedRotation(tagMatrix4x4& out, const float (&angles)[3], const int (&order)[3])
{
    if (angles[0] == 0.0f && angles[1] == 0.0f && angles[2] == 0.0f) {
        out = tagMatrix4x4();
        return;
    }
    tagMatrix4x4 turns[3];
    Matrix4x4RotationX(turns[0], angles[0]);
    Matrix4x4RotationY(turns[1], angles[1]);
    Matrix4x4RotationZ(turns[2], angles[2]);
    tagMatrix4x4 result;
    MultiplySquare<4>(result, turns[order[0]], turns[order[1]]);
    MultiplySquare<4>(out, result, turns[order[2]]);
}

} // namespace

tagMatrix3x3 Matrix3x3Construct()
{
    return tagMatrix3x3();
}

tagMatrix3x3 Matrix3x3Construct(float m00, float m01, float m02,
                                float m10, float m11, float m12,
                                float m20, float m21, float m22)
{
    return tagMatrix3x3(m00, m01, m02, m10, m11, m12, m20, m21, m22);
}

tagMatrix4x4 Matrix4x4Construct()
{
    return tagMatrix4x4();
}

tagMatrix4x4 Matrix4x4Construct(float m00, float m01, float m02, float m03,
                                float m10, float m11, float m12, float m13,
                                float m20, float m21, float m22, float m23,
                                float m30, float m31, float m32, float m33)
{
    return tagMatrix4x4(m00, m01, m02, m03, m10, m11, m12, m13,
                        m20, m21, m22, m23, m30, m31, m32, m33);
}

void Matrix3x3Identity(tagMatrix3x3& out)
{
    out = tagMatrix3x3();
}

void Matrix3x3Translation(tagMatrix3x3& out, float x, float y)
{
    out = tagMatrix3x3();
    out.m[6] = x;
    out.m[7] = y;
}

void Matrix3x3Scaling(tagMatrix3x3& out, float x, float y)
{
    out = tagMatrix3x3();
    out.m[0] = x;
    out.m[4] = y;
}

void Matrix3x3Rotation(tagMatrix3x3& out, float angle)
{
    float c, s;
    CosSin(angle, c, s);
    out = tagMatrix3x3(c, s, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 1.0f);
}

void Matrix3x3Multiply(tagMatrix3x3& out, const tagMatrix3x3& a, const tagMatrix3x3& b)
{
    MultiplySquare<3>(out, a, b);
}

void Matrix4x4Identity(tagMatrix4x4& out)
{
    out = tagMatrix4x4();
}

void Matrix4x4Translation(tagMatrix4x4& out, float x, float y, float z)
{
    out = tagMatrix4x4();
    out.m[12] = x;
    out.m[13] = y;
    out.m[14] = z;
}

void Matrix4x4Scaling(tagMatrix4x4& out, float x, float y, float z)
{
    out = tagMatrix4x4();
    out.m[0] = x;
    out.m[5] = y;
    out.m[10] = z;
}

void Matrix4x4RotationX(tagMatrix4x4& out, float angle)
{
    PlaneRotation(out, angle, 1, 2);
}

void Matrix4x4RotationY(tagMatrix4x4& out, float angle)
{
    PlaneRotation(out, angle, 2, 0);
}

void Matrix4x4RotationZ(tagMatrix4x4& out, float angle)
{
    PlaneRotation(out, angle, 0, 1);
}

void Matrix4x4RotationZYX(tagMatrix4x4& out, float x, float y, float z)
{
    ComposedRotation(out, {x, y, z}, {2, 1, 0});
}

void Matrix4x4RotationXYZ(tagMatrix4x4& out, float x, float y, float z)
{
    ComposedRotation(out, {x, y, z}, {0, 1, 2});
}

void Matrix4x4Multiply(tagMatrix4x4& out, const tagMatrix4x4& a, const tagMatrix4x4& b)
{
    MultiplySquare<4>(out, a, b);
}

void Matrix4x4FromTRS(tagMatrix4x4& out, const tagVector3& translation, const tagVector3& rotation,
                      const tagVector3& scale, const tagMatrix4x4* extra)
{
    tagMatrix4x4 result;
    Matrix4x4RotationZYX(result, rotation.x, rotation.y, rotation.z);
    // Scaling the rows is diag(scale) × rotation: the scale applies first.
    const float factors[3] = {scale.x, scale.y, scale.z};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column)
            result.m[row * 4 + column] *= factors[row];
    }
    if (extra != nullptr)
        Matrix4x4Multiply(result, result, *extra);
    result.m[12] = translation.x;
    result.m[13] = translation.y;
    result.m[14] = translation.z;
    out = result;
}

void Matrix4x4FromMatrix4x3(tagMatrix4x4& out, const tagMatrix4x3& m)
{
    tagMatrix4x4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column)
            result.m[row * 4 + column] = m.m[row * 3 + column];
        result.m[row * 4 + 3] = row == 3 ? 1.0f : 0.0f;
    }
    out = result;
}

void Matrix4x3Lerp(tagMatrix4x3& out, const tagMatrix4x3& a, const tagMatrix4x3& b, float t)
{
    const float keep = 1.0f - t;
    for (int i = 0; i < 12; ++i)
        out.m[i] = static_cast<float>(static_cast<double>(a.m[i]) * keep + static_cast<double>(b.m[i]) * t);
}

void Matrix4x4PerspectiveLH_OGL(tagMatrix4x4& out, float fieldOfView, float factor,
                                float nearPlane, float farPlane)
{
    const double n = nearPlane;
    const double f = farPlane;
    const double c = 1.0 / std::tan(static_cast<double>(DegreeToRadian(fieldOfView)) / 2.0);
    tagMatrix4x4 result;
    result.m[0] = static_cast<float>(c * factor);
    result.m[5] = static_cast<float>(c);
    result.m[10] = static_cast<float>((n + f) / (f - n));
    result.m[11] = 1.0f;
    result.m[14] = static_cast<float>(-2.0 * n * f / (f - n));
    result.m[15] = 0.0f;
    out = result;
}

void Matrix4x4LookAtLH(tagMatrix4x4& out, float eyeX, float eyeY, float eyeZ,
                       float targetX, float targetY, float targetZ,
                       float upX, float upY, float upZ)
{
    // z points back from the target, so the view's forward axis is -z.
    tagVector3 z(eyeX - targetX, eyeY - targetY, eyeZ - targetZ);
    Vector3Normalize(z);
    tagVector3 x;
    Vector3CrossProduct(x, z, tagVector3(upX, upY, upZ));
    Vector3Normalize(x);
    tagVector3 y;
    Vector3CrossProduct(y, x, z);
    Vector3Normalize(y);

    tagMatrix4x4 axes;
    axes.m[0] = x.x;
    axes.m[4] = x.y;
    axes.m[8] = x.z;
    axes.m[1] = y.x;
    axes.m[5] = y.y;
    axes.m[9] = y.z;
    axes.m[2] = -z.x;
    axes.m[6] = -z.y;
    axes.m[10] = -z.z;

    tagMatrix4x4 toEye;
    Matrix4x4Translation(toEye, -eyeX, -eyeY, -eyeZ);
    Matrix4x4Multiply(out, toEye, axes);
}

void Matrix4x4Inverse(tagMatrix4x4& out, const tagMatrix4x4& m)
{
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = m.m[i];

    // 2×2 minors of the lower two rows and of the upper two rows.
    const double s0 = a[0] * a[5] - a[4] * a[1];
    const double s1 = a[0] * a[6] - a[4] * a[2];
    const double s2 = a[0] * a[7] - a[4] * a[3];
    const double s3 = a[1] * a[6] - a[5] * a[2];
    const double s4 = a[1] * a[7] - a[5] * a[3];
    const double s5 = a[2] * a[7] - a[6] * a[3];
    const double c5 = a[10] * a[15] - a[14] * a[11];
    const double c4 = a[9] * a[15] - a[13] * a[11];
    const double c3 = a[9] * a[14] - a[13] * a[10];
    const double c2 = a[8] * a[15] - a[12] * a[11];
    const double c1 = a[8] * a[14] - a[12] * a[10];
    const double c0 = a[8] * a[13] - a[12] * a[9];

    const double determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    const double inv = 1.0 / determinant;

    double r[16];
    r[0] = (a[5] * c5 - a[6] * c4 + a[7] * c3) * inv;
    r[1] = (-a[1] * c5 + a[2] * c4 - a[3] * c3) * inv;
    r[2] = (a[13] * s5 - a[14] * s4 + a[15] * s3) * inv;
    r[3] = (-a[9] * s5 + a[10] * s4 - a[11] * s3) * inv;
    r[4] = (-a[4] * c5 + a[6] * c2 - a[7] * c1) * inv;
    r[5] = (a[0] * c5 - a[2] * c2 + a[3] * c1) * inv;
    r[6] = (-a[12] * s5 + a[14] * s2 - a[15] * s1) * inv;
    r[7] = (a[8] * s5 - a[10] * s2 + a[11] * s1) * inv;
    r[8] = (a[4] * c4 - a[5] * c2 + a[7] * c0) * inv;
    r[9] = (-a[0] * c4 + a[1] * c2 - a[3] * c0) * inv;
    r[10] = (a[12] * s4 - a[13] * s2 + a[15] * s0) * inv;
    r[11] = (-a[8] * s4 + a[9] * s2 - a[11] * s0) * inv;
    r[12] = (-a[4] * c3 + a[5] * c1 - a[6] * c0) * inv;
    r[13] = (a[0] * c3 - a[1] * c1 + a[2] * c0) * inv;
    r[14] = (-a[12] * s3 + a[13] * s1 - a[14] * s0) * inv;
    r[15] = (a[8] * s3 - a[9] * s1 + a[10] * s0) * inv;

    for (int i = 0; i < 16; ++i)
        out.m[i] = static_cast<float>(r[i]);
}

} // namespace Math
} // namespace RVGameEngine
