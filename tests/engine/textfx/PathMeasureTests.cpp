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
    EXPECT_EQ(0xFF3F0000u, BlendColor(0xFF800000, 0xFF000000, 128));
    // The ends return a colour unchanged, a transparent base included.
    EXPECT_EQ(0x12345678u, BlendColor(0x12345678, 0xFF000000, 0));
    EXPECT_EQ(0x80102030u, BlendColor(0xFFFFFFFF, 0x80102030, 255));
}

TEST(PageToPixelsTest, ConvertsEachPageUnit)
{
    Canvas canvas(10, 10);
    Gdiplus::Graphics* g = canvas.G();
    float outX = -1, outY = -1, scaleX = 2, scaleY = 3;
    g->SetPageUnit(Gdiplus::UnitInch);
    ASSERT_TRUE(PageToPixels(g, 2, 1, &scaleX, &scaleY, &outX, &outY));
    EXPECT_FLOAT_EQ(2 * g->GetDpiX(), outX);
    EXPECT_FLOAT_EQ(g->GetDpiY(), outY);
    EXPECT_FLOAT_EQ(2 * g->GetDpiX(), scaleX);
    EXPECT_FLOAT_EQ(3 * g->GetDpiY(), scaleY);

    const struct { Gdiplus::Unit unit; float value; float pixels; } cases[] = {
        {Gdiplus::UnitPixel, 5, 5}, {Gdiplus::UnitPoint, 72, g->GetDpiX()},
        {Gdiplus::UnitMillimeter, 25.4f, g->GetDpiX()}};
    for (const auto& c : cases) {
        g->SetPageUnit(c.unit);
        ASSERT_TRUE(PageToPixels(g, c.value, 0, nullptr, nullptr, &outX, nullptr));
        EXPECT_NEAR(c.pixels, outX, 0.01) << c.unit;
    }
    EXPECT_FALSE(PageToPixels(nullptr, 1, 1, nullptr, nullptr, &outX, &outY));
}

TEST(AppendGdiPathPointsTest, JoinsAnOpenFigureAndRefusesABezierCutShort)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}};
    const BYTE lines[] = {PT_MOVETO, PT_LINETO, PT_LINETO};
    Gdiplus::GraphicsPath path;
    ASSERT_TRUE(AppendGdiPathPoints(&path, points, lines, 3));
    const int count = path.GetPointCount();
    ASSERT_GE(count, 4);
    std::vector<Gdiplus::PointF> out(count);
    path.GetPathPoints(out.data(), count);
    EXPECT_TRUE(out.back().Equals(Gdiplus::PointF(0, 0))) << "closed back to its start";

    const BYTE curve[] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO};
    EXPECT_FALSE(AppendGdiPathPoints(&path, points, curve, 3));
    EXPECT_FALSE(AppendGdiPathPoints(nullptr, points, lines, 3));
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

    // Fails without points, outputs or a page unit it can convert.
    Gdiplus::GraphicsPath empty;
    EXPECT_FALSE(MeasurePathExtent(canvas.G(), &empty, nullptr, nullptr, &w, &h));
    EXPECT_FALSE(MeasurePathBounds(canvas.G(), &empty, nullptr, nullptr, &w, &h));
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
    ASSERT_TRUE(BuildLogFontPathInRect(canvas.G(), path, L"宋体字", &font, 0, 10, 300, 60));
    path->GetBounds(&bounds);
    EXPECT_NEAR(150, bounds.X + bounds.Width / 2, 4);
    // The graphics is usable again afterwards: its device context went back.
    EXPECT_EQ(Gdiplus::Ok, canvas.G()->Clear(Gdiplus::Color(kWhite)));

    // Missing arguments fail, yet a path is still handed out.
    path.reset();
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, L"", &font, 0, 0));
    EXPECT_NE(nullptr, path);
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, nullptr, &font, 0, 0));
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, L"x", nullptr, 0, 0));
    EXPECT_FALSE(BuildLogFontPath(nullptr, path, L"x", &font, 0, 0));
}
