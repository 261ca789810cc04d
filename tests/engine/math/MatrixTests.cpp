#include "engine/math/AngleFunctions.h"
#include "engine/math/MatrixFunctions.h"
#include "engine/math/VectorFunctions.h"
#include "tests/engine/math/MathTestHelpers.h"

#include <cmath>
#include <cstring>

using namespace RVGameEngine::Math;

namespace {

tagVector3 Transform(const tagVector3& v, const tagMatrix4x4& m)
{
    tagVector3 out;
    Vector3TransformCoord(out, v, m);
    return out;
}

// Full row-vector transform with the division by w, for projections.
void Project(const tagMatrix4x4& m, double x, double y, double z, double out[3])
{
    double r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = x * m.m[c] + y * m.m[4 + c] + z * m.m[8 + c] + m.m[12 + c];
    for (int i = 0; i < 3; ++i)
        out[i] = r[i] / r[3];
}

} // namespace

TEST(MathMatrices, MultiplyAppliesTheLeftTransformFirstAndMayAlias)
{
    tagMatrix4x4 move, turn, moveThenTurn, turnThenMove;
    Matrix4x4Translation(move, 1.0f, 0.0f, 0.0f);
    Matrix4x4RotationZ(turn, kPi / 2.0f);
    Matrix4x4Multiply(moveThenTurn, move, turn);
    Matrix4x4Multiply(turnThenMove, turn, move);
    ExpectNear(Transform(tagVector3(), moveThenTurn), 0.0f, 1.0f, 0.0f, 1e-6);
    ExpectNear(Transform(tagVector3(), turnThenMove), 1.0f, 0.0f, 0.0f, 1e-6);

    tagMatrix4x4 a = move, b = turn;
    Matrix4x4Multiply(a, a, turn);
    Matrix4x4Multiply(b, move, b);
    EXPECT_EQ(std::memcmp(a.m, moveThenTurn.m, sizeof a.m), 0);
    EXPECT_EQ(std::memcmp(b.m, moveThenTurn.m, sizeof b.m), 0);
}

TEST(MathMatrices, RotationsTurnLikeLeftHandedAxes)
{
    const float quarter = kPi / 2.0f;
    const struct
    {
        void (*rotation)(tagMatrix4x4&, float, float, float);
        float x, y, z;
        tagVector3 from, to;
    } cases[] = {
        // Positive angles turn y towards z, z towards x and x towards y.
        {Matrix4x4RotationZYX, quarter, 0, 0, {0, 1, 0}, {0, 0, 1}},
        {Matrix4x4RotationZYX, 0, quarter, 0, {0, 0, 1}, {1, 0, 0}},
        {Matrix4x4RotationZYX, 0, 0, quarter, {1, 0, 0}, {0, 1, 0}},
        // ZYX turns about z first; XYZ about x first.
        {Matrix4x4RotationZYX, quarter, 0, quarter, {1, 0, 0}, {0, 0, 1}},
        {Matrix4x4RotationXYZ, quarter, 0, quarter, {1, 0, 0}, {0, 1, 0}},
        {Matrix4x4RotationXYZ, 0, quarter, 0, {0, 0, 1}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        tagMatrix4x4 r;
        c.rotation(r, c.x, c.y, c.z);
        ExpectNear(Transform(c.from, r), c.to.x, c.to.y, c.to.z, 1e-6);
    }
}

TEST(MathMatrices, FromTRSScalesThenRotatesThenMoves)
{
    tagMatrix4x4 m;
    Matrix4x4FromTRS(m, tagVector3(10, 0, 0), tagVector3(0, 0, kPi / 2.0f), tagVector3(2, 1, 1));
    ExpectNear(Transform(tagVector3(1, 0, 0), m), 10.0f, 2.0f, 0.0f, 1e-5);
    ExpectNear(Transform(tagVector3(0, 1, 0), m), 9.0f, 0.0f, 0.0f, 1e-5);

    // The extra transform comes after the rotation; its translation is replaced.
    tagMatrix4x4 extra;
    Matrix4x4Scaling(extra, 1.0f, 3.0f, 1.0f);
    extra.m[12] = 100.0f;
    Matrix4x4FromTRS(m, tagVector3(10, 0, 0), tagVector3(0, 0, kPi / 2.0f), tagVector3(2, 1, 1), &extra);
    ExpectNear(Transform(tagVector3(1, 0, 0), m), 10.0f, 6.0f, 0.0f, 1e-5);
}

TEST(MathMatrices, FourByThreeForm)
{
    tagMatrix4x3 a;
    for (int i = 0; i < 12; ++i)
        a.m[i] = static_cast<float>(i);
    tagMatrix4x4 full;
    Matrix4x4FromMatrix4x3(full, a);
    const double expected[16] = {0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 1};
    ExpectMatrixNear(full, 0.0, expected);
    EXPECT_EQ(full(3, 1), 10.0f); // row by row
}

TEST(MathMatrices, PerspectiveMapsTheFrustumToTheUnitCube)
{
    const float factor = 0.75f;
    tagMatrix4x4 p;
    Matrix4x4PerspectiveLH_OGL(p, 60.0f, factor, 1.0f, 100.0f);
    // Near and far planes; the top edge of a 60 degree view at depth 10, and
    // the side edge, which the factor narrows.
    const double h = 10.0 * std::tan(30.0 * 3.14159265358979 / 180.0);
    const double points[][5] = {{0, 0, 1, 2, -1}, {0, 0, 100, 2, 1}, {0, h, 10, 1, 1}, {h / factor, 0, 10, 0, 1}};
    for (const auto& q : points) {
        double out[3];
        Project(p, q[0], q[1], q[2], out);
        EXPECT_NEAR(out[static_cast<int>(q[3])], q[4], 1e-5) << q[2];
    }
}

TEST(MathMatrices, LookAtMatchesTheLeftHandedViewMatrix)
{
    // Worked by hand: looking from (1, 2, 3) towards (2, 2, 4) with y up,
    // forward is (a, 0, a), right = up × forward = (a, 0, -a) and the true
    // up is y; the axes are the columns, the last row moves the eye to the
    // origin.
    tagMatrix4x4 view;
    Matrix4x4LookAtLH(view, 1, 2, 3, 2, 2, 4, 0, 1, 0);
    const double a = std::sqrt(0.5);
    const double expected[16] = {a, 0, a, 0, 0, 1, 0, 0, -a, 0, a, 0, 2 * a, -2, -4 * a, 1};
    ExpectMatrixNear(view, 1e-6, expected);
}

TEST(MathMatrices, InverseTimesMatrixIsIdentity)
{
    tagMatrix4x4 trs;
    Matrix4x4FromTRS(trs, tagVector3(5, -3, 12), tagVector3(0.3f, -1.1f, 2.0f), tagVector3(2, 0.5f, 3));
    tagMatrix4x4 view, projection, general;
    Matrix4x4LookAtLH(view, 1, 2, 3, -4, 0, 9, 0, 1, 0);
    Matrix4x4PerspectiveLH_OGL(projection, 45.0f, 0.75f, 0.5f, 50.0f);
    Matrix4x4Multiply(general, view, projection);
    const tagMatrix4x4 dense = Matrix4x4Construct(2, -1, 0.5f, 3, 1, 4, -2, 0.25f, 0, 1, 3, -1, 5, 2, 1, 2);

    const tagMatrix4x4* matrices[] = {&trs, &view, &general, &dense};
    for (const tagMatrix4x4* m : matrices) {
        tagMatrix4x4 inverse, product;
        Matrix4x4Inverse(inverse, *m);
        Matrix4x4Multiply(product, inverse, *m);
        ExpectMatrixNear(product, 1e-5);
    }
    tagMatrix4x4 inPlace = dense, product;
    Matrix4x4Inverse(inPlace, inPlace);
    Matrix4x4Multiply(product, dense, inPlace);
    ExpectMatrixNear(product, 1e-5);
}
