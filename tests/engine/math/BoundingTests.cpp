#include "engine/math/CBoundingBox2D.h"
#include "engine/math/CBoundingSphere2D.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Math;

namespace {

CBoundingBox2D Box(float x0, float y0, float x1, float y1)
{
    CBoundingBox2D box = CBoundingBox2DConstruct();
    box.ExtendBoundingBox(tagVector2(x0, y0));
    box.ExtendBoundingBox(tagVector2(x1, y1));
    return box;
}

} // namespace

TEST(MathBoundingBox, GrowthMovesTheCentreAndRadius)
{
    CBoundingBox2D box;
    box.ExtendBoundingBox(tagVector2(2.0f, 3.0f));
    EXPECT_EQ(box.GetBoundingRadius(), 0.0f);
    // The circle is worked out again after later growth.
    box.ExtendBoundingBox(tagVector3(8.0f, -5.0f, 100.0f));
    EXPECT_TRUE(box.GetBoundingCenter().x == 5.0f && box.GetBoundingCenter().y == -1.0f);
    EXPECT_FLOAT_EQ(box.GetBoundingRadius(), 5.0f);

    box.ExtendBoundingBox(CBoundingSphere2D(0.0f, 0.0f, 10.0f));
    box.ExtendBoundingBox(Box(20.0f, 0.0f, 21.0f, 1.0f));
    box.ExtendBoundingBox(CBoundingBox2DConstruct()); // an empty box adds nothing
    EXPECT_TRUE(box.GetBoundingMin().x == -10.0f && box.GetBoundingMin().y == -10.0f);
    EXPECT_TRUE(box.GetBoundingMax().x == 21.0f && box.GetBoundingMax().y == 10.0f);
    CBoundingSphere2D inner;
    box.GetInnerBoundingSphere(inner);
    EXPECT_FLOAT_EQ(inner.GetX(), 5.5f);
    EXPECT_FLOAT_EQ(inner.GetRadius(), 15.5f);
}

TEST(MathBoundingShapes, TouchingShapesIntersect)
{
    const CBoundingBox2D a = Box(0, 0, 10, 10);
    EXPECT_TRUE(a.InOrIntersectsBoundingBox(Box(10, 0, 20, 10)));  // shared edge
    EXPECT_TRUE(a.InOrIntersectsBoundingBox(Box(10, 10, 11, 11))); // shared corner
    EXPECT_TRUE(Box(2, 2, 3, 3).InOrIntersectsBoundingBox(a));     // inside
    EXPECT_FALSE(a.InOrIntersectsBoundingBox(Box(10.5f, 0, 20, 10)));
    EXPECT_FALSE(a.InOrIntersectsBoundingBox(Box(0, -5, 10, -0.5f)));

    const CBoundingSphere2D unit(0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(unit.InOrIntersectsBoundingSphere(CBoundingSphere2D(2.0f, 0.0f, 1.0f)));
    EXPECT_TRUE(unit.InOrIntersectsBoundingSphere(CBoundingSphere2D(0.3f, 0.4f, 3.0f)));
    EXPECT_FALSE(unit.InOrIntersectsBoundingSphere(CBoundingSphere2D(1.5f, 1.5f, 1.0f)));
    EXPECT_FALSE(unit.InOrIntersectsBoundingSphere(CBoundingSphere2D(-2.01f, 0.0f, 1.0f)));
}
