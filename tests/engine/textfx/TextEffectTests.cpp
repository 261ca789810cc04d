#include "engine/textfx/DiffusedShadowEffect.h"
#include "engine/textfx/DoubleGlowEffect.h"
#include "engine/textfx/DoubleOutlineEffect.h"
#include "engine/textfx/EffectText.h"
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
#include <optional>
#include <string>
#include <tuple>

using namespace TextFx;
using namespace TextFxTest;

namespace {

constexpr int kWidth = 220, kHeight = 130, kShadowX = 14, kShadowY = 9;
const Gdiplus::Point kOrigin(60, 10);

template <typename Effect, typename... Args>
std::unique_ptr<ITextEffect> Make(Args... args)
{
    auto effect = std::make_unique<Effect>();
    effect->Init(args...);
    return effect;
}

// A tall lowercase "l": one upright stem, so a row through its middle
// crosses exactly two glyph edges.
class StemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Pixels pixels = Render(*Make<PlainTextEffect>(kRed));
        m_ink = pixels.Ink(kClear);
        ASSERT_FALSE(m_ink.empty);
        m_row = (m_ink.top + m_ink.bottom) / 2;
        for (m_left = m_ink.left; pixels.At(m_left, m_row) == kClear; ++m_left) {}
        for (m_right = m_ink.right; pixels.At(m_right, m_row) == kClear; --m_right) {}
        ASSERT_GE(m_right - m_left, 4) << "stem too thin to hold an interior";
        ASSERT_LT(m_right - m_left, kShadowX) << "a shadow must show beside the stem";
        m_middle = (m_left + m_right) / 2;
    }
    // Through an effect or the facade, which offer the same slots.
    template <typename Drawer>
    bool Draw(Drawer& drawer, Canvas& canvas, Gdiplus::Point at = kOrigin)
    {
        return drawer.DrawString(canvas.G(), &m_family, Gdiplus::FontStyleRegular, 80, L"l", at, nullptr);
    }
    template <typename Drawer>
    Pixels Render(Drawer& drawer, Gdiplus::ARGB background = kClear)
    {
        Canvas canvas(kWidth, kHeight, background);
        EXPECT_TRUE(Draw(drawer, canvas));
        return canvas.Snapshot();
    }
    // A pixel `distance` columns left of the glyph's left edge (negative: inside).
    Gdiplus::ARGB Outside(const Pixels& pixels, int distance) const { return pixels.At(m_left - distance, m_row); }
    Gdiplus::ARGB Interior(const Pixels& pixels) const { return pixels.At(m_middle, m_row); }
    bool MeasureAtOrigin(EffectText& text, Gdiplus::Graphics* g, float& width, float& height)
    {
        return text.MeasureString(g, &m_family, 0, 80, L"l", kOrigin, nullptr, nullptr, nullptr, &width, &height);
    }
    Gdiplus::FontFamily m_family{L"Liberation Sans"};
    Gdiplus::FontFamily m_cjk{L"宋体"};
    LOGFONTW m_logFont = MakeLogFont(L"宋体", 40);
    InkBox m_ink;
    int m_row = 0, m_left = 0, m_right = 0, m_middle = 0;
};

} // namespace

TEST_F(StemTest, EachEffectPutsItsColoursInTheirBands)
{
    struct Case
    {
        const char* name;
        std::shared_ptr<ITextEffect> effect;
        std::optional<Gdiplus::ARGB> interior;
        std::vector<std::pair<int, Gdiplus::ARGB>> exact;   // distance outside the edge, colour
        std::vector<int> fading;   // distances where the band's alpha falls, still above zero
        Gdiplus::ARGB absent;      // a colour that must appear nowhere
    };
    const Case cases[] = {
        {"plain", Make<PlainTextEffect>(kGreen), kGreen, {{2, kClear}}, {}, kRed},
        {"outline", Make<OutlineEffect>(kRed, kBlue, 8), kRed, {{1, kBlue}, {3, kBlue}, {6, kClear}}, {}, kWhite},
        {"outline of no thickness: no hairline", Make<OutlineEffect>(kRed, kBlue, 0), kRed, {}, {}, kBlue},
        {"translucent text over the inner half of the pen", Make<OutlineEffect>(0x00FF0000u, kBlue, 8),
         std::nullopt, {{-1, kBlue}}, {}, kWhite},
        {"double outline", Make<DoubleOutlineEffect>(kRed, kGreen, kBlue, 6, 8), kRed,
         {{1, kGreen}, {5, kBlue}, {9, kClear}}, {}, kWhite},
        {"no outer outline", Make<DoubleOutlineEffect>(kRed, kGreen, kBlue, 6, 0), kRed, {{1, kGreen}}, {}, kBlue},
        {"glow", Make<GlowEffect>(kRed, 0x400000FFu, 12), kRed, {{8, kClear}}, {1, 3, 5}, kWhite},
        {"double glow", Make<DoubleGlowEffect>(kRed, kGreen, 0x400000FFu, 4, 10), kRed, {{1, kGreen}, {9, kClear}},
         {3, 6}, kWhite},
        {"no gradient", Make<GradientOutlineEffect>(kGreen, kRed, kBlue, 0), kGreen, {{1, kClear}}, {}, kBlue},
        {"outline only", Make<OutlineOnlyEffect>(kBlue, 2, true), kClear, {{0, kBlue}}, {}, kRed},
        {"diffused", Make<DiffusedShadowEffect>(kRed, 0x400000FFu, 10, true), kRed, {{7, kClear}}, {1, 4}, kWhite},
        {"diffused without band", Make<DiffusedShadowEffect>(kRed, kBlue, 0, false), kClear, {}, {}, kRed},
        {"extrusion along one axis", Make<ExtrudeEffect>(kRed, kBlue, 2, 6, 0), kClear, {}, {}, kRed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Pixels pixels = Render(*c.effect);
        EXPECT_EQ(c.interior.value_or(Interior(pixels)), Interior(pixels));
        for (const auto& [distance, color] : c.exact)
            EXPECT_EQ(color, Outside(pixels, distance)) << "at " << distance;
        for (size_t i = 0; i < c.fading.size(); ++i) {
            const Gdiplus::ARGB band = Outside(pixels, c.fading[i]);
            EXPECT_GT(Blue(band), Red(band) + Green(band)) << "glow colour at " << c.fading[i];
            EXPECT_GT(Alpha(band), i + 1 < c.fading.size() ? Alpha(Outside(pixels, c.fading[i + 1])) : 0u);
        }
        EXPECT_TRUE(pixels.PixelsOf(c.absent).empty);
    }
}

TEST_F(StemTest, GradientRunsFromStartAtTheEdgeToEndOutside)
{
    const Pixels pixels = Render(*Make<GradientOutlineEffect>(kGreen, 0x80FF0000u, kBlue, 16));
    const Gdiplus::ARGB nearEdge = Outside(pixels, 1), outerEdge = Outside(pixels, 7);
    EXPECT_EQ(kGreen, Interior(pixels));
    EXPECT_EQ(0xFFu, Alpha(nearEdge)) << "the start colour is drawn opaque";
    EXPECT_TRUE(Red(nearEdge) > 200 && Blue(nearEdge) < 55) << std::hex << nearEdge;
    EXPECT_TRUE(Blue(outerEdge) > 160 && Red(outerEdge) < 95) << std::hex << outerEdge;
    EXPECT_EQ(kClear, Outside(pixels, 10));
    std::vector<Gdiplus::ARGB> colors;
    ASSERT_TRUE(GradientOutlineEffect::CalculateGradient(kRed, 0x800000FF, 10, colors));
    EXPECT_TRUE(colors.size() == 10 && Alpha(colors.back()) == 0xFF);
    ASSERT_TRUE(GradientOutlineEffect::CalculateGradient(kRed, kBlue, -3, colors));
    EXPECT_TRUE(colors.empty());
}

TEST_F(StemTest, DiffusedShadowFillsAsManyLayersAsItStrokes)
{
    EXPECT_GT(Alpha(Interior(Render(*Make<DiffusedShadowEffect>(0x40FF0000u, kClear, 3, false)))),
              Alpha(Interior(Render(*Make<DiffusedShadowEffect>(0x40FF0000u, kClear, 3, true)))));
}

TEST_F(StemTest, ExtrusionTrailsFromTheFrontFaceTowardTheOffset)
{
    ExtrudeEffect extrude;
    extrude.Init(kRed, kBlue, 1, 4, -4);
    EXPECT_TRUE(extrude.CopyShift(3).Equals(Gdiplus::Point(-3, 3)));
    extrude.Init(kRed, kRed, 0, 8, 8);   // copies at shifts 0 .. -7
    const InkBox body = Render(extrude).Ink(kClear);
    Canvas front(kWidth, kHeight);
    ASSERT_TRUE(Draw(*Make<PlainTextEffect>(kRed), front, Gdiplus::Point(kOrigin.X - 7, kOrigin.Y - 7)));
    const InkBox face = front.Snapshot().Ink(kClear);
    EXPECT_EQ(std::make_tuple(face.left, face.top, face.right + 7, face.bottom + 7),
              std::make_tuple(body.left, body.top, body.right, body.bottom));
}

TEST_F(StemTest, FailuresAreReportedAsFalse)
{
    // While its device context is out, GDI+ refuses to draw on a graphics.
    std::unique_ptr<ITextEffect> effects[] = {
        Make<OutlineOnlyEffect>(kBlue, 2, false), Make<OutlineEffect>(kRed, kBlue, 2),
        Make<PlainTextEffect>(kRed), Make<ExtrudeEffect>(kRed, kBlue, 2, 3, 3)};
    Canvas canvas(kWidth, kHeight);
    HDC dc = canvas.G()->GetHDC();
    ASSERT_NE(nullptr, dc);
    for (auto& effect : effects)
        EXPECT_FALSE(Draw(*effect, canvas));
    canvas.G()->ReleaseHDC(dc);
    EXPECT_TRUE(Draw(*effects[0], canvas));
    // Missing graphics, font, text or outputs.
    ITextEffect& plain = *effects[2];
    const Gdiplus::Point at(0, 0);
    float w = 0, h = 0;
    EXPECT_FALSE(plain.DrawString(nullptr, &m_family, 0, 20, L"x", at, nullptr) ||
                 plain.DrawString(canvas.G(), nullptr, 0, 20, L"x", at, nullptr) ||
                 plain.DrawString(canvas.G(), &m_family, 0, 20, nullptr, at, nullptr) ||
                 plain.MeasureString(canvas.G(), &m_family, 0, 20, L"", at, nullptr, nullptr, nullptr, &w, &h) ||
                 plain.MeasureString(canvas.G(), &m_family, 0, 20, L"x", at, nullptr, nullptr, nullptr, nullptr, &h));
}

TEST_F(StemTest, EffectsFillWithTheirOwnBrushCopyThatClonesShare)
{
    OutlineEffect outline;
    outline.Init(kRed, kBlue, 2);
    EXPECT_FALSE(outline.Init(static_cast<const Gdiplus::Brush*>(nullptr), kGreen, 9));
    EXPECT_EQ(kRed, Interior(Render(outline))) << "a refused brush keeps the settings";
    std::vector<std::unique_ptr<ITextEffect>> clones;
    {
        Gdiplus::HatchBrush hatch(Gdiplus::HatchStyleCross, Gdiplus::Color(kGreen), Gdiplus::Color(kGreen));
        GlowEffect glow;
        DoubleGlowEffect doubleGlow;
        ExtrudeEffect extrude;
        PlainTextEffect plain;
        ASSERT_TRUE(glow.Init(&hatch, kClear, 0) && outline.Init(&hatch, kBlue, 2) &&
                    doubleGlow.Init(&hatch, kBlue, kBlue, 2, 2) && extrude.Init(&hatch, kBlue, 2, 2, 2) &&
                    plain.Init(&hatch));
        for (ITextEffect* original : std::initializer_list<ITextEffect*>{&glow, &outline, &doubleGlow, &extrude, &plain})
            clones.emplace_back(original->Clone());
        // Replacing the original's brush must not pull the clone's away.
        Gdiplus::SolidBrush blue{Gdiplus::Color(kBlue)};
        ASSERT_TRUE(glow.Init(&blue, kClear, 0));
        EXPECT_EQ(kBlue, Interior(Render(glow)));
    }
    // Neither the caller's brush nor the originals are left.
    for (auto& clone : clones)
        EXPECT_EQ(kGreen, Interior(Render(*clone)));
    EXPECT_EQ(kGreen, Interior(Render(outline)));
    EXPECT_EQ(kBlue, Outside(Render(outline), 1)) << "the brush form keeps the outline";
}

TEST_F(StemTest, FacadeDrawsAndMeasuresItsShadowOnlyOnceSetAndEnabled)
{
    Canvas canvas(kWidth, kHeight);
    EffectText text;
    EXPECT_FALSE(Draw(text, canvas));
    float textW = -1, textH = -1, w = -1, h = -1;
    EXPECT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_TRUE(w == 0 && h == 0);
    // A refused set-up keeps the effect chosen before.
    EXPECT_TRUE(text.UsePlainText(kRed));
    const auto effect = text.TextEffect();
    EXPECT_FALSE(text.UseOutline(static_cast<const Gdiplus::Brush*>(nullptr), kBlue, 2));
    EXPECT_EQ(effect, text.TextEffect());
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), textW, textH));
    const Pixels alone = Render(text);
    text.SetShadowEnabled(true);
    EXPECT_EQ(alone, Render(text)) << "enabled without a shadow set";
    text.SetShadowEnabled(false);
    text.SetOutlineShadow(kBlue, 2, kShadowX, kShadowY);
    EXPECT_EQ(alone, Render(text)) << "set but not enabled";
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW, w) << "a disabled shadow is not measured";
    text.SetShadowEnabled(true);
    const Pixels shadowed = Render(text);
    const InkBox shadowInk = shadowed.PixelsOf(kBlue);
    ASSERT_FALSE(shadowInk.empty);
    // A 2-pixel outline reaches one pixel beyond the moved glyph.
    EXPECT_NEAR(m_ink.left + kShadowX - 1, shadowInk.left, 1);
    EXPECT_NEAR(m_ink.top + kShadowY - 1, shadowInk.top, 1);
    EXPECT_NEAR(m_ink.right + kShadowX + 1, shadowInk.right, 1);
    EXPECT_NEAR(m_ink.bottom + kShadowY + 1, shadowInk.bottom, 1);
    EXPECT_EQ(m_ink.bottom, shadowed.PixelsOf(kRed).bottom) << "the text is drawn last, over its shadow";
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW + 2 + kShadowX, w);
    EXPECT_FLOAT_EQ(textH + 2 + kShadowY, h);
    text.SetOutlineShadow(kBlue, 2, -30, kShadowY);
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW, w) << "a shadow that sticks out on one side only";
}

TEST_F(StemTest, BackdropBlendsTheShadowColourUnderTheMask)
{
    // Shadow kind: 'o'utline, 'd'iffused, 'e'xtruded.
    const struct { const char* name; Gdiplus::ARGB color; char kind; int thickness; Gdiplus::ARGB expected; }
    cases[] = {
        {"outline, half strength", 0x80000000, 'o', 2, 0xFF7E7E7E},
        {"outline, no strength", 0x00000000, 'o', 2, kWhite},
        {"outline, full strength", 0xFF0000FF, 'o', 2, kBlue},
        {"diffused, two passes", 0x80000000, 'd', 3, 0xFF3E3E3E},
        {"diffused, no pass", 0x80000000, 'd', 1, kWhite},
        {"extruded", 0xFF0000FF, 'e', 1, kBlue}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EffectText text;
        text.UsePlainText(kRed);
        ASSERT_TRUE(text.CreateShadowBackdrop(kWhite, kWidth, kHeight));
        if (c.kind == 'o')
            text.SetOutlineShadow(c.color, c.thickness, kShadowX, kShadowY);
        else if (c.kind == 'd')
            text.SetDiffusedShadow(c.color, c.thickness, kShadowX, kShadowY);
        else
            text.SetExtrudedShadow(c.color, c.thickness, kShadowX, kShadowY);
        text.SetShadowEnabled(true);
        const Pixels pixels = Render(text, kGreen);
        EXPECT_EQ(c.expected, pixels.At(m_middle + kShadowX, m_row + kShadowY));
        EXPECT_EQ(kRed, pixels.At(m_middle, m_row));
        EXPECT_TRUE(pixels.PixelsOf(kGreen).empty) << "the backdrop covers everything drawn before it";
        if (c.kind == 'e') {
            // The body's front copy stands at (2, 1) from the text, nothing goes the other way.
            EXPECT_EQ(kBlue, pixels.At(m_right + 2, m_row + 1));
            EXPECT_EQ(kWhite, pixels.At(m_left - 3, m_row));
        }
    }
    EffectText text;
    EXPECT_FALSE(text.CreateShadowBackdrop(kWhite, 0, 10) || text.CreateShadowBackdrop(kWhite, 10, -1));
    EXPECT_EQ(nullptr, text.ShadowBackdrop());
}

TEST_F(StemTest, CopiesCloneEffectsShareTheBackdropAndOutliveTheSource)
{
    auto source = std::make_unique<EffectText>();
    {
        Gdiplus::SolidBrush brush{Gdiplus::Color(kGreen)};
        ASSERT_TRUE(source->UseOutline(&brush, kBlue, 4));
    }
    ASSERT_TRUE(source->CreateShadowBackdrop(kWhite, kWidth, kHeight));
    source->SetOutlineShadow(0x80000000, 2, kShadowX, kShadowY);
    source->SetShadowEnabled(true);
    EffectText copy(*source);
    EXPECT_NE(source->ShadowEffect(), copy.ShadowEffect());
    EXPECT_EQ(source->ShadowBackdrop(), copy.ShadowBackdrop());
    const Pixels sourcePixels = Render(*source);
    EXPECT_EQ(sourcePixels, Render(copy));
    EffectText assigned;
    assigned = *source;
    assigned = assigned;
    EXPECT_EQ(sourcePixels, Render(assigned));
    // Set-ups on a copy leave the source alone; the copy draws on after the
    // source replaced its brush and went.
    const auto sourceEffect = source->TextEffect();
    assigned.UsePlainText(kRed);
    EXPECT_EQ(sourceEffect, source->TextEffect());
    Gdiplus::SolidBrush other{Gdiplus::Color(kRed)};
    ASSERT_TRUE(source->UseOutline(&other, kBlue, 4));
    source.reset();
    EXPECT_EQ(sourcePixels, Render(copy));
    EXPECT_EQ(kGreen, sourcePixels.At(m_middle, m_row));
}

TEST_F(StemTest, ReleasesReplacedEffectsAndItsBackdrop)
{
    auto backdrop = std::make_shared<Gdiplus::Bitmap>(8, 8, PixelFormat32bppARGB);
    std::vector<std::weak_ptr<ITextEffect>> released;
    {
        EffectText text;
        for (int i = 0; i < 50; ++i) {
            text.UseGlow(kRed, kBlue, i % 4);
            text.SetDiffusedShadow(0x80000000, 2, 1, 1);
            released.insert(released.end(), {text.TextEffect(), text.ShadowEffect(), text.MaskEffect()});
            text.CreateShadowBackdrop(kWhite, 4, 4);
            text.SetShadowBackdrop(backdrop);
        }
        EXPECT_EQ(2, backdrop.use_count());
        for (size_t i = 0; i + 3 < released.size(); ++i)
            EXPECT_TRUE(released[i].expired()) << i;
    }
    EXPECT_EQ(1, backdrop.use_count());
    for (const auto& effect : released)
        EXPECT_TRUE(effect.expired());
}

// Each layout is drawn with antialiasing; every inked pixel must lie in the
// measured box: from the ink start (less half the widest pen) to the layout
// origin plus the measured size, and the box must not be loose either.
TEST_F(StemTest, InkStaysInsideTheMeasuredBoxForEveryEffectAndLayout)
{
    ASSERT_EQ(Gdiplus::Ok, m_cjk.GetLastStatus());
    // The thickness is what measuring adds; pens reach half of it beyond the outline.
    const std::tuple<const char*, std::shared_ptr<ITextEffect>, int> effects[] = {
        {"plain", Make<PlainTextEffect>(kRed), 0}, {"outline", Make<OutlineEffect>(kRed, kBlue, 6), 6},
        {"glow", Make<GlowEffect>(kRed, 0x800000FFu, 8), 8},
        {"double outline", Make<DoubleOutlineEffect>(kRed, kGreen, kBlue, 3, 5), 8},
        {"double glow", Make<DoubleGlowEffect>(kRed, kGreen, 0x800000FFu, 2, 6), 8},
        {"gradient", Make<GradientOutlineEffect>(kRed, kGreen, kBlue, 6), 6},
        {"outline only", Make<OutlineOnlyEffect>(kBlue, 4, true), 4}};
    const Gdiplus::StringFormat format;
    const std::pair<const char*, TextLayout> layouts[] = {
        {"GDI+ origin", TextLayout::AtOrigin(&m_family, 0, 48, L"Wendmoor", Gdiplus::Point(30, 20), nullptr)},
        {"GDI+ box", TextLayout::InBox(&m_family, Gdiplus::FontStyleBold, 40, L"Wendmoor",
                                       Gdiplus::Rect(20, 30, 360, 100), &format)},
        {"GDI+ substituted family", TextLayout::AtOrigin(&m_cjk, 0, 40, L"宋体字", Gdiplus::Point(30, 20), nullptr)},
        {"LOGFONT origin", TextLayout::LogFontAtOrigin(&m_logFont, L"宋体字", Gdiplus::Point(30, 40))},
        {"LOGFONT box", TextLayout::LogFontInBox(&m_logFont, L"宋体字", Gdiplus::Rect(10, 30, 380, 100))}};
    for (const auto& [name, effect, thickness] : effects) {
        for (const auto& [what, layout] : layouts) {
            SCOPED_TRACE(std::string(name) + ", " + what);
            Canvas canvas(400, 160, kClear, true);
            float startX = 0, startY = 0, width = 0, height = 0;
            ASSERT_TRUE(layout.MeasureWith(*effect, canvas.G(), false, &startX, &startY, &width, &height));
            ASSERT_TRUE(layout.DrawWith(*effect, canvas.G()));
            const InkBox ink = canvas.Snapshot().Ink(kClear);
            ASSERT_FALSE(ink.empty);
            const float reach = thickness / 2.0f, right = layout.X() + width, bottom = layout.Y() + height;
            EXPECT_GE(ink.left, std::floor(startX - reach) - 1);
            EXPECT_GE(ink.top, std::floor(startY - reach) - 1);
            EXPECT_LE(ink.right, std::ceil(right));
            EXPECT_LE(ink.bottom, std::ceil(bottom));
            EXPECT_LE(right - (ink.right + 1), thickness + 4);
            EXPECT_LE(bottom - (ink.bottom + 1), thickness + 4);
        }
    }
}

// With the tight LOGFONT measure, the extent runs from the origin and the
// tight span from the ink's start.
TEST_F(StemTest, ThicknessesAddUpAnExtrusionOffsetStaysOutAndTheTightSpanIsBare)
{
    Canvas canvas(10, 10);
    canvas.G()->SetPageUnit(Gdiplus::UnitPixel);
    const TextLayout layout = TextLayout::AtOrigin(&m_family, 0, 30, L"Wendmoor", Gdiplus::Point(5, 5), nullptr);
    PlainTextEffect plain;
    float plainW = 0, plainH = 0, w = 0, h = 0, sx = 0, sy = 0;
    ASSERT_TRUE(layout.MeasureWith(plain, canvas.G(), false, nullptr, nullptr, &plainW, &plainH));
    const std::pair<std::shared_ptr<ITextEffect>, int> cases[] = {
        {Make<DoubleOutlineEffect>(kRed, kGreen, kBlue, 3, 4), 7}, {Make<ExtrudeEffect>(kRed, kBlue, 3, 20, 20), 3}};
    for (const auto& [effect, grown] : cases) {
        ASSERT_TRUE(layout.MeasureWith(*effect, canvas.G(), false, nullptr, nullptr, &w, &h));
        EXPECT_FLOAT_EQ(plainW + grown, w);
        EXPECT_FLOAT_EQ(plainH + grown, h);
    }
    const TextLayout cjk = TextLayout::LogFontAtOrigin(&m_logFont, L"宋体字", Gdiplus::Point(30, 40));
    ASSERT_TRUE(cjk.MeasureWith(plain, canvas.G(), false, &sx, &sy, &plainW, &plainH));
    ASSERT_TRUE(cjk.MeasureWith(plain, canvas.G(), true, nullptr, nullptr, &w, &h));
    EXPECT_NEAR(plainW - (sx - 30), w + 30, 0.01);
    EXPECT_NEAR(plainH - (sy - 40), h + 40, 0.01);
}
