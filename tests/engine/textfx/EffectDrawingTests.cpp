#include "engine/textfx/DiffusedShadowEffect.h"
#include "engine/textfx/DoubleGlowEffect.h"
#include "engine/textfx/DoubleOutlineEffect.h"
#include "engine/textfx/ExtrudeEffect.h"
#include "engine/textfx/GlowEffect.h"
#include "engine/textfx/GradientOutlineEffect.h"
#include "engine/textfx/OutlineEffect.h"
#include "engine/textfx/OutlineOnlyEffect.h"
#include "engine/textfx/PlainTextEffect.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

using namespace TextFx;
using namespace TextFxTest;

namespace {

const Gdiplus::Point kOrigin(60, 10);

// A tall lowercase "l": one upright stem, so a row through its middle
// crosses exactly two glyph edges.
class StemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Gdiplus::Ok, m_family.GetLastStatus());
        PlainTextEffect plain;
        plain.Init(kRed);
        Canvas canvas(200, 120);
        ASSERT_TRUE(Draw(plain, canvas));
        const Pixels pixels = canvas.Snapshot();
        const InkBox ink = pixels.Ink(kClear);
        ASSERT_FALSE(ink.empty);
        m_row = (ink.top + ink.bottom) / 2;
        ASSERT_TRUE(pixels.RowInk(m_row, kClear, m_left, m_right));
        ASSERT_GE(m_right - m_left, 4) << "stem too thin to hold an interior";
    }

    bool Draw(ITextEffect& effect, Canvas& canvas)
    {
        return effect.DrawString(canvas.G(), &m_family, Gdiplus::FontStyleRegular, 80, L"l", kOrigin, nullptr);
    }

    Pixels Render(ITextEffect& effect)
    {
        Canvas canvas(200, 120);
        EXPECT_TRUE(Draw(effect, canvas));
        return canvas.Snapshot();
    }

    // A pixel `distance` columns left of the glyph's left edge.
    Gdiplus::ARGB Outside(const Pixels& pixels, int distance) const { return pixels.At(m_left - distance, m_row); }
    Gdiplus::ARGB Interior(const Pixels& pixels) const { return pixels.At((m_left + m_right) / 2, m_row); }

    Gdiplus::FontFamily m_family{L"Liberation Sans"};
    int m_row = 0, m_left = 0, m_right = 0;
};

} // namespace

TEST_F(StemTest, PlainFillsTheInteriorOnly)
{
    PlainTextEffect plain;
    plain.Init(kGreen);
    const Pixels pixels = Render(plain);
    EXPECT_EQ(kGreen, Interior(pixels));
    EXPECT_EQ(kClear, Outside(pixels, 2));
}

TEST_F(StemTest, OutlineShowsHalfItsPenOutsideTheGlyph)
{
    OutlineEffect outline;
    outline.Init(kRed, kBlue, 8);
    const Pixels pixels = Render(outline);
    EXPECT_EQ(kRed, Interior(pixels));
    EXPECT_EQ(kBlue, Outside(pixels, 1));
    EXPECT_EQ(kBlue, Outside(pixels, 3));
    EXPECT_EQ(kClear, Outside(pixels, 6));
}

TEST_F(StemTest, OutlineOfNoThicknessDrawsNoHairline)
{
    OutlineEffect outline;
    outline.Init(kRed, kBlue, 0);
    const Pixels pixels = Render(outline);
    EXPECT_TRUE(pixels.PixelsOf(kBlue).empty);
}

TEST_F(StemTest, TranslucentTextLetsTheInnerHalfOfTheOutlineShow)
{
    OutlineEffect outline;
    outline.Init(0x00FF0000, kBlue, 8);
    const Pixels pixels = Render(outline);
    EXPECT_EQ(kBlue, pixels.At(m_left + 1, m_row));
}

TEST_F(StemTest, DoubleOutlinePutsTheOuterRingOutsideTheInner)
{
    DoubleOutlineEffect outline;
    outline.Init(kRed, kGreen, kBlue, 6, 8);   // inner shows 3 px, outer 4 more
    const Pixels pixels = Render(outline);
    EXPECT_EQ(kRed, Interior(pixels));
    EXPECT_EQ(kGreen, Outside(pixels, 1));
    EXPECT_EQ(kBlue, Outside(pixels, 5));
    EXPECT_EQ(kClear, Outside(pixels, 9));

    DoubleOutlineEffect noOuter;
    noOuter.Init(kRed, kGreen, kBlue, 6, 0);
    EXPECT_TRUE(Render(noOuter).PixelsOf(kBlue).empty);
}

TEST_F(StemTest, GlowFadesOutward)
{
    GlowEffect glow;
    glow.Init(kRed, 0x400000FF, 12);
    const Pixels pixels = Render(glow);
    EXPECT_EQ(kRed, Interior(pixels));
    const auto nearBand = Alpha(Outside(pixels, 1));
    const auto middle = Alpha(Outside(pixels, 3));
    const auto farBand = Alpha(Outside(pixels, 5));
    EXPECT_GT(nearBand, middle);
    EXPECT_GT(middle, farBand);
    EXPECT_GT(farBand, 0u);
    EXPECT_EQ(kClear, Outside(pixels, 8));
    EXPECT_EQ(0xFF, Blue(Outside(pixels, 1)));
}

TEST_F(StemTest, DoubleGlowFadesBeyondItsOutline)
{
    DoubleGlowEffect glow;
    glow.Init(kRed, kGreen, 0x400000FF, 4, 10);   // outline 2 px, glow to 7 px
    const Pixels pixels = Render(glow);
    EXPECT_EQ(kRed, Interior(pixels));
    EXPECT_EQ(kGreen, Outside(pixels, 1));
    EXPECT_GT(Alpha(Outside(pixels, 3)), Alpha(Outside(pixels, 6)));
    EXPECT_GT(Alpha(Outside(pixels, 6)), 0u);
    EXPECT_EQ(kClear, Outside(pixels, 9));
}

TEST_F(StemTest, GradientRunsFromStartAtTheEdgeToEndOutside)
{
    GradientOutlineEffect gradient;
    gradient.Init(kGreen, 0x80FF0000, kBlue, 16);   // the start colour is drawn opaque
    const Pixels pixels = Render(gradient);
    EXPECT_EQ(kGreen, Interior(pixels));
    const Gdiplus::ARGB nearEdge = Outside(pixels, 1);
    const Gdiplus::ARGB outerEdge = Outside(pixels, 7);
    EXPECT_EQ(0xFFu, Alpha(nearEdge));
    EXPECT_GT(Red(nearEdge), 200);
    EXPECT_LT(Blue(nearEdge), 55);
    EXPECT_GT(Blue(outerEdge), 160);
    EXPECT_LT(Red(outerEdge), 95);
    EXPECT_EQ(kClear, Outside(pixels, 10));
}

TEST(GradientOutlineTest, CalculatesOneOpaqueColourPerUnitOfThickness)
{
    std::vector<Gdiplus::ARGB> colors;
    ASSERT_TRUE(GradientOutlineEffect::CalculateGradient(kRed, 0x800000FF, 10, colors));
    ASSERT_EQ(10u, colors.size());
    EXPECT_GT(Red(colors.front()), 200);
    EXPECT_GT(Blue(colors.back()), 200);
    for (Gdiplus::ARGB c : colors)
        EXPECT_EQ(0xFFu, Alpha(c));

    ASSERT_TRUE(GradientOutlineEffect::CalculateGradient(kRed, kBlue, 0, colors));
    EXPECT_TRUE(colors.empty());
    ASSERT_TRUE(GradientOutlineEffect::CalculateGradient(kRed, kBlue, -3, colors));
    EXPECT_TRUE(colors.empty());
}

TEST_F(StemTest, GradientWithoutThicknessOnlyFills)
{
    GradientOutlineEffect gradient;
    gradient.Init(kGreen, kRed, kBlue, 0);
    const Pixels pixels = Render(gradient);
    EXPECT_EQ(kGreen, Interior(pixels));
    EXPECT_EQ(kClear, Outside(pixels, 1));
}

TEST_F(StemTest, OutlineOnlyLeavesTheInteriorEmpty)
{
    OutlineOnlyEffect outline;
    outline.Init(kBlue, 2, true);
    const Pixels pixels = Render(outline);
    EXPECT_EQ(kClear, Interior(pixels));
    EXPECT_EQ(kBlue, pixels.At(m_left, m_row));
    EXPECT_EQ(kBlue, pixels.At(m_right, m_row));
}

TEST_F(StemTest, DiffusedShadowBandFadesOutward)
{
    DiffusedShadowEffect shadow;
    shadow.Init(kRed, 0x400000FF, 10, true);
    const Pixels pixels = Render(shadow);
    EXPECT_EQ(kRed, Interior(pixels));
    EXPECT_GT(Alpha(Outside(pixels, 1)), Alpha(Outside(pixels, 4)));
    EXPECT_GT(Alpha(Outside(pixels, 4)), 0u);
    EXPECT_EQ(kClear, Outside(pixels, 7));
}

TEST_F(StemTest, DiffusedShadowFillsAsManyLayersAsItStrokes)
{
    DiffusedShadowEffect once;
    once.Init(0x40FF0000, kClear, 3, true);
    DiffusedShadowEffect layered;
    layered.Init(0x40FF0000, kClear, 3, false);
    EXPECT_GT(Alpha(Interior(Render(layered))), Alpha(Interior(Render(once))));

    // No thickness and one fill per stroke: nothing at all, and success.
    DiffusedShadowEffect none;
    none.Init(kRed, kBlue, 0, false);
    EXPECT_TRUE(Render(none).Ink(kClear).empty);
}

TEST(ExtrudeEffectTest, StepsCopiesAgainstTheOffset)
{
    ExtrudeEffect extrude;
    extrude.Init(kRed, kBlue, 1, 5, 3);
    ASSERT_EQ(3, extrude.CopyCount());
    EXPECT_EQ(0, extrude.CopyShift(0).X);
    EXPECT_EQ(-1, extrude.CopyShift(1).X);
    EXPECT_EQ(-1, extrude.CopyShift(1).Y);
    EXPECT_EQ(-3, extrude.CopyShift(2).X);
    EXPECT_EQ(-2, extrude.CopyShift(2).Y);

    extrude.Init(kRed, kBlue, 1, 4, -4);
    ASSERT_EQ(4, extrude.CopyCount());
    EXPECT_EQ(-3, extrude.CopyShift(3).X);
    EXPECT_EQ(3, extrude.CopyShift(3).Y);

    extrude.Init(kRed, kBlue, 1, 6, 0);
    EXPECT_EQ(0, extrude.CopyCount());
}

TEST_F(StemTest, ExtrusionTrailsFromTheFrontFaceTowardTheOffset)
{
    ExtrudeEffect extrude;
    extrude.Init(kRed, kRed, 0, 8, 8);   // copies at shifts 0 .. -7
    const Pixels pixels = Render(extrude);

    PlainTextEffect plain;
    plain.Init(kRed);
    Canvas front(200, 120);
    ASSERT_TRUE(plain.DrawString(front.G(), &m_family, Gdiplus::FontStyleRegular, 80, L"l",
                                 Gdiplus::Point(kOrigin.X - 7, kOrigin.Y - 7), nullptr));
    const InkBox face = front.Snapshot().Ink(kClear);
    const InkBox body = pixels.Ink(kClear);
    EXPECT_EQ(face.left, body.left);
    EXPECT_EQ(face.top, body.top);
    EXPECT_EQ(face.right + 7, body.right);
    EXPECT_EQ(face.bottom + 7, body.bottom);
}

TEST_F(StemTest, ExtrusionAlongOneAxisDrawsNothing)
{
    ExtrudeEffect extrude;
    extrude.Init(kRed, kBlue, 2, 6, 0);
    EXPECT_TRUE(Render(extrude).Ink(kClear).empty);
}

TEST_F(StemTest, AFailingStrokeOrFillIsReportedAsFailure)
{
    // While its device context is out, GDI+ refuses to draw on a graphics.
    OutlineOnlyEffect outlineOnly;
    outlineOnly.Init(kBlue, 2, false);
    OutlineEffect outline;
    outline.Init(kRed, kBlue, 2);
    PlainTextEffect plain;
    plain.Init(kRed);
    ExtrudeEffect extrude;
    extrude.Init(kRed, kBlue, 2, 3, 3);
    Canvas canvas(200, 120);
    HDC dc = canvas.G()->GetHDC();
    ASSERT_NE(nullptr, dc);
    EXPECT_FALSE(Draw(outlineOnly, canvas));
    EXPECT_FALSE(Draw(outline, canvas));
    EXPECT_FALSE(Draw(plain, canvas));
    EXPECT_FALSE(Draw(extrude, canvas));
    canvas.G()->ReleaseHDC(dc);
    EXPECT_TRUE(Draw(outlineOnly, canvas));
}

TEST(EffectArgumentsTest, MissingGraphicsFontOrTextFails)
{
    Gdiplus::FontFamily family(L"Liberation Sans");
    Canvas canvas(50, 50);
    PlainTextEffect plain;
    const Gdiplus::Point at(0, 0);
    EXPECT_FALSE(plain.DrawString(nullptr, &family, 0, 20, L"x", at, nullptr));
    EXPECT_FALSE(plain.DrawString(canvas.G(), nullptr, 0, 20, L"x", at, nullptr));
    EXPECT_FALSE(plain.DrawString(canvas.G(), &family, 0, 20, nullptr, at, nullptr));
    float w = 0, h = 0;
    EXPECT_FALSE(plain.MeasureString(canvas.G(), &family, 0, 20, L"", at, nullptr, nullptr, nullptr, &w, &h));
    EXPECT_FALSE(plain.MeasureString(canvas.G(), &family, 0, 20, L"x", at, nullptr, nullptr, nullptr, nullptr, &h));
    ExtrudeEffect extrude;
    EXPECT_FALSE(extrude.DrawString(nullptr, &family, 0, 20, L"x", at, nullptr));
}
