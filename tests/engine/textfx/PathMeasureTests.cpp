#include "engine/textfx/PathMeasure.h"
#include "engine/textfx/TextPath.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace TextFx;
using namespace TextFxTest;

// Grey blends are checked through the shadow compositing; here each channel and the ends.
TEST(BlendColorTest, MixesEachChannelAndPassesTheEndsThrough)
{
    EXPECT_EQ(0xFF3F0000u, BlendColor(0xFF800000, 0xFF000000, 128));
    EXPECT_EQ(0x12345678u, BlendColor(0x12345678, 0xFF000000, 0));
    EXPECT_EQ(0x80102030u, BlendColor(0xFFFFFFFF, 0x80102030, 255));
}

TEST(PageToPixelsTest, ConvertsEachPageUnitAndItsScale)
{
    Canvas canvas(10, 10);
    Gdiplus::Graphics* g = canvas.G();
    const float dpi = g->GetDpiX();
    const struct { Gdiplus::Unit unit; float value; float pixels; } cases[] = {
        {Gdiplus::UnitPixel, 5, 5}, {Gdiplus::UnitInch, 2, 2 * dpi}, {Gdiplus::UnitPoint, 72, dpi},
        {Gdiplus::UnitMillimeter, 25.4f, dpi}};
    for (const auto& c : cases) {
        g->SetPageUnit(c.unit);
        float outX = -1, scaleX = c.value;   // a scale is converted like a length
        ASSERT_TRUE(PageToPixels(g, c.value, 0, &scaleX, nullptr, &outX, nullptr));
        EXPECT_NEAR(c.pixels, outX, 0.01) << c.unit;
        EXPECT_NEAR(c.pixels, scaleX, 0.01) << c.unit;
    }
    // An earlier failure left unread on the graphics is none of this call's.
    EXPECT_NE(Gdiplus::Ok, g->SetPageUnit(Gdiplus::UnitWorld));
    float out = 0;
    EXPECT_TRUE(PageToPixels(g, 25.4f, 0, nullptr, nullptr, &out, nullptr));
    EXPECT_NEAR(dpi, out, 0.01);
    EXPECT_FALSE(PageToPixels(nullptr, 1, 1, nullptr, nullptr, &out, &out));
}

TEST(AppendGdiPathPointsTest, JoinsAnOpenFigureAndRefusesABezierCutShort)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}};
    const BYTE lines[] = {PT_MOVETO, PT_LINETO, PT_LINETO}, curve[] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO};
    Gdiplus::GraphicsPath path;
    ASSERT_TRUE(AppendGdiPathPoints(&path, points, lines, 3));
    std::vector<Gdiplus::PointF> out(path.GetPointCount());
    ASSERT_GE(out.size(), 4u);
    path.GetPathPoints(out.data(), static_cast<int>(out.size()));
    EXPECT_TRUE(out.back().Equals(Gdiplus::PointF(0, 0))) << "closed back to its start";
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
    // Width: overhang 4 + right edge 10 - preset 0.
    EXPECT_EQ(std::make_tuple(-4.f, -2.f, 14.f, 12.f), std::make_tuple(sx, sy, w, h));
    w = 2, h = 3;   // the layout origin is taken off
    ASSERT_TRUE(MeasurePathBounds(canvas.G(), &path, nullptr, nullptr, &w, &h));
    EXPECT_EQ(std::make_pair(12.f, 9.f), std::make_pair(w, h));
    Gdiplus::GraphicsPath empty;   // other refusals are checked through the effects
    EXPECT_FALSE(MeasurePathBounds(canvas.G(), &empty, nullptr, nullptr, &w, &h));
}

TEST(BuildLogFontPathTest, OutlinesTextFromAPointAndInABox)
{
    Canvas canvas(300, 100);
    const LOGFONTW font = MakeLogFont(L"宋体", 32);
    std::unique_ptr<Gdiplus::GraphicsPath> path;
    ASSERT_TRUE(BuildLogFontPath(canvas.G(), path, L"宋体字", &font, 20, 30));
    EXPECT_EQ(Gdiplus::FillModeWinding, path->GetFillMode());
    Gdiplus::RectF bounds;
    path->GetBounds(&bounds);
    EXPECT_TRUE(bounds.X >= 20 && bounds.Y >= 30);

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
    EXPECT_FALSE(BuildLogFontPath(canvas.G(), path, nullptr, &font, 0, 0) ||
                 BuildLogFontPath(canvas.G(), path, L"x", nullptr, 0, 0) ||
                 BuildLogFontPath(nullptr, path, L"x", &font, 0, 0));
}
