#include "engine/math/AngleFunctions.h"
#include "engine/math/MatrixFunctions.h"
#include "engine/math/VectorFunctions.h"
#include "tests/engine/math/MathTestHelpers.h"

using namespace RVGameEngine::Math;

TEST(MathVectors, AnglesLengthsAndDots)
{
    EXPECT_FLOAT_EQ(DirToAngle(-1.0f, 0.0f), 3.1415927f);
    EXPECT_FLOAT_EQ(DirToAngle(1.0f, -1.0f), -0.78539819f);
    EXPECT_FLOAT_EQ(Vector2Length(tagVector2(3.0f, 4.0f)), 5.0f);
    EXPECT_FLOAT_EQ(Vector3Length(tagVector3(2.0f, 3.0f, 6.0f)), 7.0f);
    EXPECT_FLOAT_EQ(Vector3Dot(tagVector3(1.0f, 2.0f, 3.0f), tagVector3(4.0f, -5.0f, 6.0f)), 12.0f);
}

TEST(MathVectors, NormalisingLeavesZeroVectorsZeroAndHugeVectorsUnit)
{
    tagVector3 v(0.0f, 3.0f, 4.0f), zero, huge(3e38f, 0.0f, 3e38f);
    tagVector2 zero2, huge2(-3e38f, -3e38f);
    for (tagVector3* each : {&v, &zero, &huge})
        Vector3Normalize(*each);
    Vector2Normalize(zero2);
    Vector2Normalize(huge2);
    ExpectNear(v, 0.0f, 0.6f, 0.8f, 1e-6);
    ExpectNear(zero, 0.0f, 0.0f, 0.0f, 0.0);
    EXPECT_EQ(zero2.x, 0.0f);
    // A length beyond the float range still gives a unit vector.
    ExpectNear(huge, 0.70710677f, 0.0f, 0.70710677f, 1e-6);
    EXPECT_FLOAT_EQ(huge2.y, -0.70710677f);
}

TEST(MathVectors, CrossLerpAndBetween)
{
    tagVector3 out;
    Vector3CrossProduct(out, tagVector3(2.0f, 3.0f, 4.0f), tagVector3(5.0f, 6.0f, 7.0f));
    ExpectNear(out, -3.0f, 6.0f, -3.0f, 0.0);
    // Left-handed axis order; the output may be one of the inputs.
    tagVector3 a(0.0f, 1.0f, 0.0f);
    Vector3CrossProduct(a, a, tagVector3(0.0f, 0.0f, 1.0f));
    ExpectNear(a, 1.0f, 0.0f, 0.0f, 0.0);
    Vector3Lerp(out, tagVector3(0.0f, 10.0f, -4.0f), tagVector3(10.0f, 20.0f, 4.0f), 0.25f);
    ExpectNear(out, 2.5f, 12.5f, -2.0f, 1e-6);

    const tagVector3 from, to(10.0f, 0.0f, 0.0f);
    EXPECT_TRUE(Vector3IsBetweenVectors(tagVector3(5.0f, 1.0f, 0.0f), from, to));
    EXPECT_TRUE(Vector3IsBetweenVectors(to, from, to));
    EXPECT_FALSE(Vector3IsBetweenVectors(tagVector3(11.0f, 0.0f, 0.0f), from, to));
    EXPECT_FALSE(Vector3IsBetweenVectors(tagVector3(-1.0f, 0.0f, 0.0f), from, to));
}

TEST(MathTransforms, CoordNormalAnd2DForms)
{
    tagMatrix4x4 t;
    Matrix4x4Translation(t, 10.0f, 20.0f, 30.0f);
    tagVector3 out;
    Vector3TransformCoord(out, tagVector3(1.0f, 2.0f, 3.0f), t);
    ExpectNear(out, 11.0f, 22.0f, 33.0f, 0.0);
    Vector3TransformNormal(out, tagVector3(1.0f, 2.0f, 3.0f), t);
    ExpectNear(out, 1.0f, 2.0f, 3.0f, 0.0);

    // 2D: the left transform happens first.
    tagMatrix3x3 r2, t2, both;
    Matrix3x3Rotation(r2, kPi / 2.0f);
    Matrix3x3Translation(t2, 5.0f, 0.0f);
    tagVector2 p;
    for (bool turnFirst : {true, false}) {
        Matrix3x3Multiply(both, turnFirst ? r2 : t2, turnFirst ? t2 : r2);
        Vector2TransformCoord(p, tagVector2(1.0f, 0.0f), both);
        ExpectNear(tagVector3(p.x, p.y, 0.0f), turnFirst ? 5.0f : 0.0f, turnFirst ? 1.0f : 6.0f, 0.0f, 1e-5);
    }

    tagVector3 corner(2.0f, 3.0f, 7.0f);
    tagMatrix3x3 s;
    Matrix3x3Scaling(s, 2.0f, -1.0f);
    Matrix3x3Multiply(s, s, t2); // scale, then move; the output aliases an input
    Matrix3x3TransformVector2(corner, corner, s);
    ExpectNear(corner, 9.0f, -3.0f, 7.0f, 0.0);
}
