#include "engine/textfx/PathMeasure.h"
#include "engine/textfx/TextPath.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <memory>

using namespace TextFx;
using namespace TextFxTest;

TEST(BlendColorTest, MixesByShiftAndPassesTheEndsThrough)
{
    EXPECT_EQ(0xFF7E7E7Eu, BlendColor(0xFFFFFFFF, 0xFF000000, 128));
    EXPECT_EQ(0xFFFEFEFEu, BlendColor(0xFFFFFFFF, 0xFFFFFFFF, 128));
    // The ends return a colour unchanged, a transparent base included.
    EXPECT_EQ(0x12345678u, BlendColor(0x12345678, 0xFF000000, 0));
    EXPECT_EQ(0x80102030u, BlendColor(0xFFFFFFFF, 0x80102030, 255));
    EXPECT_EQ(0xFF3F0000u, BlendColor(0xFF800000, 0xFF000000, 128));
}

TEST(PageToPixelsTest, ConvertsEachPageUnit)
{
    Canvas canvas(10, 10);
    Gdiplus::Graphics* g = canvas.G();
    float outX = -1, outY = -1, scaleX = 2, scaleY = 3;

    g->SetPageUnit(Gdiplus::UnitPixel);
    ASSERT_TRUE(PageToPixels(g, 5, 7, &scaleX, &scaleY, &outX, &outY));
    EXPECT_FLOAT_EQ(5, outX);
    EXPECT_FLOAT_EQ(7, outY);
    EXPECT_FLOAT_EQ(2, scaleX);

    g->SetPageUnit(Gdiplus::UnitInch);
    ASSERT_TRUE(PageToPixels(g, 2, 1, &scaleX, &scaleY, &outX, &outY));
    EXPECT_FLOAT_EQ(2 * g->GetDpiX(), outX);
    EXPECT_FLOAT_EQ(g->GetDpiY(), outY);
    EXPECT_FLOAT_EQ(2 * g->GetDpiX(), scaleX);
    EXPECT_FLOAT_EQ(3 * g->GetDpiY(), scaleY);

    g->SetPageUnit(Gdiplus::UnitPoint);
    ASSERT_TRUE(PageToPixels(g, 72, 0, nullptr, nullptr, &outX, nullptr));
    EXPECT_NEAR(g->GetDpiX(), outX, 0.01);

    g->SetPageUnit(Gdiplus::UnitMillimeter);
    ASSERT_TRUE(PageToPixels(g, 25.4f, 0, nullptr, nullptr, &outX, nullptr));
    EXPECT_NEAR(g->GetDpiX(), outX, 0.01);

    EXPECT_FALSE(PageToPixels(nullptr, 1, 1, nullptr, nullptr, &outX, &outY));
}

TEST(AppendGdiPathPointsTest, JoinsAnOpenFigureBackToItsStart)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO, PT_LINETO};
    Gdiplus::GraphicsPath path;
    ASSERT_TRUE(AppendGdiPathPoints(&path, points, types, 3));
    const int count = path.GetPointCount();
    ASSERT_GE(count, 4);
    std::vector<Gdiplus::PointF> out(count);
    path.GetPathPoints(out.data(), count);
    EXPECT_FLOAT_EQ(0, out.back().X);
    EXPECT_FLOAT_EQ(0, out.back().Y);
}

TEST(AppendGdiPathPointsTest, RefusesABezierCutShort)
{
    const POINT points[] = {{0, 0}, {5, 5}, {10, 0}};
    const BYTE types[] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO};
    Gdiplus::GraphicsPath path;
    EXPECT_FALSE(AppendGdiPathPoints(&path, points, types, 3));
    EXPECT_FALSE(AppendGdiPathPoints(nullptr, points, types, 3));
}

TEST(MeasurePathTest, ExtentCountsOverhangAndBoundsTheBareSpan)
{
    Canvas canvas(10, 10);
    Gdiplus::GraphicsPath path;
    path.AddRectangle(Gdiplus::Rect(-4, -2, 14, 12));   // x -4..10, y -2..10
    float sx = 0, sy = 0, w = 0, h = 0;
    ASSERT_TRUE(MeasurePathExtent(canvas.G(), &path, &sx, &sy, &w, &h));
    EXPECT_FLOAT_EQ(-4, sx);
    EXPECT_FLOAT_EQ(-2, sy);
    EXPECT_FLOAT_EQ(14, w);   // overhang 4 + right edge 10 - preset 0
    EXPECT_FLOAT_EQ(12, h);

    w = 2;   // the layout origin is taken off
    h = 3;
    ASSERT_TRUE(MeasurePathBounds(canvas.G(), &path, nullptr, nullptr, &w, &h));
    EXPECT_FLOAT_EQ(12, w);
    EXPECT_FLOAT_EQ(9, h);
}

TEST(MeasurePathTest, FailsWithoutPointsWorldUnitsOrOutputs)
{
    Canvas canvas(10, 10);
    Gdiplus::GraphicsPath empty;
    float w = 0, h = 0;
    EXPECT_FALSE(MeasurePathExtent(canvas.G(), &empty, nullptr, nullptr, &w, &h));
    EXPECT_FALSE(MeasurePathBounds(canvas.G(), &empty, nullptr, nullptr, &w, &h));

    Gdiplus::GraphicsPath path;
    path.AddRectangle(Gdiplus::Rect(0, 0, 5, 5));
    EXPECT_FALSE(MeasurePathExtent(canvas.G(), &path, nullptr, nullptr, nullptr, &h));
    canvas.G()->SetPageUnit(Gdiplus::UnitWorld);
    EXPECT_FALSE(MeasurePathExtent(canvas.G(), &path, nullptr, nullptr, &w, &h));
}

TEST(BuildLogFontPathTest, OutlinesTextFromAPointAndInABox)
{
    Canvas canvas(300, 100);
    const LOGFONTW font = MakeLogFont(L"宋体", 32);

    std::unique_ptr<Gdiplus::GraphicsPath> path;
    ASSERT_TRUE(BuildLogFontPath(canvas.G(), path, L"宋体字", &font, 20, 30));
    Gdiplus::RectF bounds;
    path->GetBounds(&bounds);
    EXPECT_GE(bounds.X, 20);
    EXPECT_GE(bounds.Y, 30);
    EXPECT_LE(bounds.GetRight(), 20 + 3 * 32 + 2);
    EXPECT_LE(bounds.GetBottom(), 30 + 40);
    EXPECT_EQ(Gdiplus::FillModeWinding, path->GetFillMode());

    // Centred across a wide box.
    std::unique_ptr<Gdiplus::GraphicsPath> boxed;
    ASSERT_TRUE(BuildLogFontPathInRect(canvas.G(), boxed, L"宋体字", &font, 0, 10, 300, 60));
    Gdiplus::RectF boxedBounds;
    boxed->GetBounds(&boxedBounds);
    const float centre = boxedBounds.X + boxedBounds.Width / 2;
    EXPECT_NEAR(150, centre, 4);

    // The graphics is usable again afterwards: its device context went back.
    EXPECT_EQ(Gdiplus::Ok, canvas.G()->Clear(Gdiplus::Color(kWhite)));
}

TEST(BuildLogFontPathTest, FailsOnMissingArgumentsButStillHandsOutAPath)
{
    Canvas canvas(50, 50);
    const LOGFONTW font = MakeLogFont(L"宋体", 20);
    std::unique_ptr<Gdiplus::GraphicsPath> path;
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, L"", &font, 0, 0));
    EXPECT_NE(nullptr, path);
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, nullptr, &font, 0, 0));
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, L"x", nullptr, 0, 0));
    EXPECT_FALSE(BuildLogFontPath(nullptr, path, L"x", &font, 0, 0));
}
