#pragma once

#include "engine/math/tagMatrix4x4.h"
#include "engine/math/tagVector3.h"

#include <gtest/gtest.h>

#include <cmath>

inline void ExpectNear(const RVGameEngine::Math::tagVector3& v, float x, float y, float z, double tolerance)
{
    EXPECT_TRUE(std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance && std::fabs(v.z - z) <= tolerance)
        << v.x << ", " << v.y << ", " << v.z;
}

// Identity when no expected matrix is given.
inline void ExpectMatrixNear(const RVGameEngine::Math::tagMatrix4x4& actual, double tolerance,
                             const double (&expected)[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected[i], tolerance) << "element " << i;
}
