#pragma once

#include "engine/math/tagMatrix4x4.h"
#include "engine/math/tagVector2.h"
#include "engine/math/tagVector3.h"

#include <gtest/gtest.h>

#define EXPECT_VEC3_NEAR(v, ex, ey, ez, tolerance) \
    do {                                           \
        EXPECT_NEAR((v).x, (ex), (tolerance));     \
        EXPECT_NEAR((v).y, (ey), (tolerance));     \
        EXPECT_NEAR((v).z, (ez), (tolerance));     \
    } while (0)

inline void ExpectMatrixNear(const RVGameEngine::Math::tagMatrix4x4& actual, const double (&expected)[16],
                             double tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected[i], tolerance) << "element " << i;
}

inline void ExpectIdentity(const RVGameEngine::Math::tagMatrix4x4& m, double tolerance)
{
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrixNear(m, identity, tolerance);
}
