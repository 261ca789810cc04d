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
#include <string>

using namespace TextFx;
using namespace TextFxTest;

namespace {

class MeasureTest : public ::testing::Test
{
protected:
    Gdiplus::FontFamily m_latin{L"Liberation Sans"};
    Gdiplus::FontFamily m_cjk{L"宋体"};
    LOGFONTW m_logFont = MakeLogFont(L"宋体", 40);
};

} // namespace

// Each layout is drawn with antialiasing; every inked pixel must lie in the
// measured box: from the ink start (less half the widest pen) to the layout
// origin plus the measured size, and the box must not be loose either.
TEST_F(MeasureTest, InkStaysInsideTheMeasuredBoxForEveryEffectAndLayout)
{
    ASSERT_EQ(Gdiplus::Ok, m_cjk.GetLastStatus());
    struct EffectCase
    {
        const char* name;
        std::function<ITextEffect*()> make;
        int thickness;   // what measuring adds; pens reach half of it beyond the outline
    };
    const EffectCase effects[] = {
        {"plain", [] { auto* e = new PlainTextEffect; e->Init(kRed); return e; }, 0},
        {"outline", [] { auto* e = new OutlineEffect; e->Init(kRed, kBlue, 6); return e; }, 6},
        {"glow", [] { auto* e = new GlowEffect; e->Init(kRed, 0x800000FF, 8); return e; }, 8},
        {"double outline", [] { auto* e = new DoubleOutlineEffect; e->Init(kRed, kGreen, kBlue, 3, 5); return e; }, 8},
        {"double glow", [] { auto* e = new DoubleGlowEffect; e->Init(kRed, kGreen, 0x800000FF, 2, 6); return e; }, 8},
        {"gradient", [] { auto* e = new GradientOutlineEffect; e->Init(kRed, kGreen, kBlue, 6); return e; }, 6},
        {"outline only", [] { auto* e = new OutlineOnlyEffect; e->Init(kBlue, 4, true); return e; }, 4},
    };
    const Gdiplus::StringFormat format;
    const std::pair<const char*, TextLayout> layouts[] = {
        {"GDI+ origin", TextLayout::AtOrigin(&m_latin, 0, 48, L"Wendmoor", Gdiplus::Point(30, 20), nullptr)},
        {"GDI+ box", TextLayout::InBox(&m_latin, Gdiplus::FontStyleBold, 40, L"Wendmoor",
                                       Gdiplus::Rect(20, 30, 360, 100), &format)},
        {"GDI+ substituted family", TextLayout::AtOrigin(&m_cjk, 0, 40, L"宋体字", Gdiplus::Point(30, 20), nullptr)},
        {"LOGFONT origin", TextLayout::LogFontAtOrigin(&m_logFont, L"宋体字", Gdiplus::Point(30, 40))},
        {"LOGFONT box", TextLayout::LogFontInBox(&m_logFont, L"宋体字", Gdiplus::Rect(10, 30, 380, 100))},
    };
    for (const EffectCase& effectCase : effects) {
        for (const auto& [what, layout] : layouts) {
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
            EXPECT_LE(right - (ink.right + 1), effectCase.thickness + 4);
            EXPECT_LE(bottom - (ink.bottom + 1), effectCase.thickness + 4);
        }
    }
}

TEST_F(MeasureTest, ThicknessGrowsBothSidesByItsPixelWidth)
{
    Canvas canvas(10, 10);
    canvas.G()->SetPageUnit(Gdiplus::UnitPixel);
    const TextLayout layout = TextLayout::AtOrigin(&m_latin, 0, 30, L"Wendmoor", Gdiplus::Point(5, 5), nullptr);
    float plainW = 0, plainH = 0, w = 0, h = 0;
    PlainTextEffect plain;
    ASSERT_TRUE(layout.MeasureWith(plain, canvas.G(), false, nullptr, nullptr, &plainW, &plainH));

    OutlineOnlyEffect outline;
    outline.Init(kBlue, 2, false);
    DoubleOutlineEffect twice;
    twice.Init(kRed, kGreen, kBlue, 3, 4);
    ExtrudeEffect extrude;   // the extrusion's offset stays out of the box
    extrude.Init(kRed, kBlue, 3, 20, 20);
    const std::pair<ITextEffect*, int> cases[] = {{&outline, 2}, {&twice, 7}, {&extrude, 3}};
    for (const auto& [effect, grown] : cases) {
        ASSERT_TRUE(layout.MeasureWith(*effect, canvas.G(), false, nullptr, nullptr, &w, &h));
        EXPECT_FLOAT_EQ(plainW + grown, w);
        EXPECT_FLOAT_EQ(plainH + grown, h);
    }

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
