#include "engine/textfx/DoubleGlowEffect.h"
#include "engine/textfx/DoubleOutlineEffect.h"
#include "engine/textfx/ExtrudeEffect.h"
#include "engine/textfx/GlowEffect.h"
#include "engine/textfx/GradientOutlineEffect.h"
#include "engine/textfx/OutlineEffect.h"
#include "engine/textfx/OutlineOnlyEffect.h"
#include "engine/textfx/PlainTextEffect.h"
#include "engine/textfx/TextLayout.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace TextFx;
using namespace TextFxTest;

namespace {

struct EffectCase
{
    const char* name;
    std::function<ITextEffect*()> make;
    int thickness;   // what measuring adds; pens reach half of it beyond the outline
};

std::vector<EffectCase> AllEffects()
{
    return {
        {"plain", [] { auto* e = new PlainTextEffect; e->Init(kRed); return e; }, 0},
        {"outline", [] { auto* e = new OutlineEffect; e->Init(kRed, kBlue, 6); return e; }, 6},
        {"glow", [] { auto* e = new GlowEffect; e->Init(kRed, 0x800000FF, 8); return e; }, 8},
        {"double outline", [] { auto* e = new DoubleOutlineEffect; e->Init(kRed, kGreen, kBlue, 3, 5); return e; }, 8},
        {"double glow", [] { auto* e = new DoubleGlowEffect; e->Init(kRed, kGreen, 0x800000FF, 2, 6); return e; }, 8},
        {"gradient", [] { auto* e = new GradientOutlineEffect; e->Init(kRed, kGreen, kBlue, 6); return e; }, 6},
        {"outline only", [] { auto* e = new OutlineOnlyEffect; e->Init(kBlue, 4, true); return e; }, 4},
    };
}

// Draws the layout with antialiasing and checks that every inked pixel lies
// in the measured box: from the ink start (less half the widest pen) to the
// layout origin plus the measured size.
void ExpectInkInsideMeasure(const EffectCase& effectCase, const TextLayout& layout, const char* what)
{
    SCOPED_TRACE(std::string(effectCase.name) + ", " + what);
    std::unique_ptr<ITextEffect> effect(effectCase.make());
    Canvas canvas(400, 160, kClear, true);
    float startX = 0, startY = 0, width = 0, height = 0;
    ASSERT_TRUE(layout.MeasureWith(*effect, canvas.G(), false, &startX, &startY, &width, &height));
    ASSERT_TRUE(layout.DrawWith(*effect, canvas.G()));
    const InkBox ink = canvas.Snapshot().Ink(kClear);
    ASSERT_FALSE(ink.empty);

    const float reach = effectCase.thickness / 2.0f;
    const float right = layout.X() + width;
    const float bottom = layout.Y() + height;
    EXPECT_GE(ink.left, std::floor(startX - reach) - 1);
    EXPECT_GE(ink.top, std::floor(startY - reach) - 1);
    EXPECT_LE(ink.right, std::ceil(right));
    EXPECT_LE(ink.bottom, std::ceil(bottom));
    // Not loose either: the box ends near the ink.
    EXPECT_LE(right - (ink.right + 1), effectCase.thickness + 4);
    EXPECT_LE(bottom - (ink.bottom + 1), effectCase.thickness + 4);
}

class MeasureTest : public ::testing::Test
{
protected:
    Gdiplus::FontFamily m_latin{L"Liberation Sans"};
    Gdiplus::FontFamily m_cjk{L"宋体"};
    LOGFONTW m_logFont = MakeLogFont(L"宋体", 40);
};

} // namespace

TEST_F(MeasureTest, InkStaysInsideTheMeasuredBoxForEveryEffectAndLayout)
{
    ASSERT_EQ(Gdiplus::Ok, m_cjk.GetLastStatus());
    for (const EffectCase& effectCase : AllEffects()) {
        ExpectInkInsideMeasure(effectCase,
                               TextLayout::AtOrigin(&m_latin, 0, 48, L"Wendmoor", Gdiplus::Point(30, 20), nullptr),
                               "GDI+ origin");
        ExpectInkInsideMeasure(effectCase,
                               TextLayout::InBox(&m_latin, Gdiplus::FontStyleBold, 40, L"Wendmoor",
                                                 Gdiplus::Rect(20, 30, 360, 100), nullptr),
                               "GDI+ box");
        ExpectInkInsideMeasure(effectCase,
                               TextLayout::AtOrigin(&m_cjk, 0, 40, L"宋体字", Gdiplus::Point(30, 20), nullptr),
                               "GDI+ substituted family");
        ExpectInkInsideMeasure(effectCase, TextLayout::LogFontAtOrigin(&m_logFont, L"宋体字", Gdiplus::Point(30, 40)),
                               "LOGFONT origin");
        ExpectInkInsideMeasure(effectCase,
                               TextLayout::LogFontInBox(&m_logFont, L"宋体字", Gdiplus::Rect(10, 30, 380, 100)),
                               "LOGFONT box");
    }
}

TEST_F(MeasureTest, ThicknessGrowsBothSidesByItsPixelWidth)
{
    Canvas canvas(10, 10);
    canvas.G()->SetPageUnit(Gdiplus::UnitPixel);
    const TextLayout layout = TextLayout::AtOrigin(&m_latin, 0, 30, L"Wendmoor", Gdiplus::Point(5, 5), nullptr);
    auto measure = [&](ITextEffect& effect, float& w, float& h) {
        ASSERT_TRUE(layout.MeasureWith(effect, canvas.G(), false, nullptr, nullptr, &w, &h));
    };
    float plainW = 0, plainH = 0, w = 0, h = 0;
    PlainTextEffect plain;
    measure(plain, plainW, plainH);

    OutlineOnlyEffect outline;
    outline.Init(kBlue, 2, false);
    measure(outline, w, h);
    EXPECT_FLOAT_EQ(plainW + 2, w);
    EXPECT_FLOAT_EQ(plainH + 2, h);

    DoubleOutlineEffect twice;
    twice.Init(kRed, kGreen, kBlue, 3, 4);
    measure(twice, w, h);
    EXPECT_FLOAT_EQ(plainW + 7, w);

    // The extrusion's offset stays out of the box.
    ExtrudeEffect extrude;
    extrude.Init(kRed, kBlue, 3, 20, 20);
    measure(extrude, w, h);
    EXPECT_FLOAT_EQ(plainW + 3, w);
    EXPECT_FLOAT_EQ(plainH + 3, h);

    canvas.G()->SetPageUnit(Gdiplus::UnitWorld);
    EXPECT_FALSE(layout.MeasureWith(plain, canvas.G(), false, nullptr, nullptr, &w, &h));
}

TEST_F(MeasureTest, TightLogFontMeasureIsTheBareSpan)
{
    Canvas canvas(400, 160);
    const TextLayout layout = TextLayout::LogFontAtOrigin(&m_logFont, L"宋体字", Gdiplus::Point(30, 40));
    PlainTextEffect plain;
    float sx = 0, sy = 0, w = 0, h = 0, tightW = 0, tightH = 0;
    ASSERT_TRUE(layout.MeasureWith(plain, canvas.G(), false, &sx, &sy, &w, &h));
    ASSERT_TRUE(layout.MeasureWith(plain, canvas.G(), true, nullptr, nullptr, &tightW, &tightH));
    // The extent runs from the origin, the tight span from the ink's start.
    EXPECT_NEAR(w - (sx - 30), tightW + 30, 0.01);
    EXPECT_NEAR(h - (sy - 40), tightH + 40, 0.01);
}
