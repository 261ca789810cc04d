#include "engine/textfx/EffectText.h"
#include "engine/textfx/PathMeasure.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace TextFx;
using namespace TextFxTest;

namespace {

constexpr int kWidth = 220;
constexpr int kHeight = 130;
const Gdiplus::Point kOrigin(40, 10);
constexpr int kShadowX = 14;
constexpr int kShadowY = 9;

class EffectTextTest : public ::testing::Test
{
protected:
    bool Draw(EffectText& text, Canvas& canvas)
    {
        return text.DrawString(canvas.G(), &m_family, Gdiplus::FontStyleRegular, 80, L"l", kOrigin, nullptr);
    }

    Pixels Render(EffectText& text, Gdiplus::ARGB background = kClear)
    {
        Canvas canvas(kWidth, kHeight, background);
        EXPECT_TRUE(Draw(text, canvas));
        return canvas.Snapshot();
    }

    // A point inside the stem of the "l" drawn at the facade's origin.
    void FindStem(int& x, int& y) { int right = 0; FindStem(x, y, right); }
    void FindStem(int& x, int& y, int& right)
    {
        EffectText plain;
        plain.UsePlainText(kRed);
        const Pixels pixels = Render(plain);
        const InkBox ink = pixels.Ink(kClear);
        ASSERT_FALSE(ink.empty);
        y = (ink.top + ink.bottom) / 2;
        int first = 0, last = 0;
        ASSERT_TRUE(pixels.RowInk(y, kClear, first, last));
        x = (first + last) / 2;
        right = last;
        ASSERT_LT(last - first, kShadowX) << "the shadow must show beside the stem";
    }

    bool MeasureAtOrigin(EffectText& text, Gdiplus::Graphics* g, float& width, float& height)
    {
        return text.MeasureString(g, &m_family, 0, 80, L"l", kOrigin, nullptr, nullptr, nullptr, &width, &height);
    }

    Gdiplus::FontFamily m_family{L"Liberation Sans"};
};

} // namespace

TEST_F(EffectTextTest, DrawsNothingUntilAnEffectIsChosen)
{
    EffectText text;
    Canvas canvas(kWidth, kHeight);
    EXPECT_FALSE(Draw(text, canvas));
    EXPECT_TRUE(canvas.Snapshot().Ink(kClear).empty);
    float w = -1, h = -1;
    EXPECT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);

    EXPECT_TRUE(text.UsePlainText(kRed));
    EXPECT_TRUE(Draw(text, canvas));
    EXPECT_FALSE(canvas.Snapshot().PixelsOf(kRed).empty);
}

TEST_F(EffectTextTest, EveryLayoutDrawsThroughTheChosenEffect)
{
    EffectText text;
    text.UseOutline(kRed, kBlue, 4);
    Canvas canvas(kWidth, kHeight);
    const LOGFONTW font = MakeLogFont(L"宋体", 40);
    const Gdiplus::StringFormat format;
    EXPECT_TRUE(text.DrawString(canvas.G(), &m_family, 0, 30, L"ab", Gdiplus::Rect(0, 0, 100, 40), &format));
    EXPECT_TRUE(text.DrawLogFontString(canvas.G(), &font, L"宋体", Gdiplus::Rect(0, 40, 220, 45)));
    EXPECT_TRUE(text.DrawLogFontString(canvas.G(), &font, L"字", Gdiplus::Point(150, 0)));
    const Pixels pixels = canvas.Snapshot();
    EXPECT_FALSE(pixels.PixelsOf(kRed).empty);
    EXPECT_FALSE(pixels.PixelsOf(kBlue).empty);
}

TEST_F(EffectTextTest, EnabledShadowWithoutShadowSetDrawsOnlyTheText)
{
    EffectText text;
    text.UsePlainText(kRed);
    const Pixels alone = Render(text);
    text.SetShadowEnabled(true);
    EXPECT_EQ(alone, Render(text));
}

TEST_F(EffectTextTest, ShadowIsDrawnFirstAtTheOffset)
{
    EffectText text;
    text.UsePlainText(kRed);
    const Pixels alone = Render(text);
    const InkBox textInk = alone.Ink(kClear);

    text.SetOutlineShadow(kBlue, 2, kShadowX, kShadowY);
    EXPECT_EQ(alone, Render(text)) << "shadows stay off until enabled";

    text.SetShadowEnabled(true);
    const Pixels shadowed = Render(text);
    const InkBox shadowInk = shadowed.PixelsOf(kBlue);
    ASSERT_FALSE(shadowInk.empty);
    // A 2-pixel outline reaches one pixel beyond the moved glyph.
    EXPECT_NEAR(textInk.left + kShadowX - 1, shadowInk.left, 1);
    EXPECT_NEAR(textInk.top + kShadowY - 1, shadowInk.top, 1);
    EXPECT_NEAR(textInk.right + kShadowX + 1, shadowInk.right, 1);
    EXPECT_NEAR(textInk.bottom + kShadowY + 1, shadowInk.bottom, 1);
    // The text is drawn last, over its shadow.
    const InkBox red = shadowed.PixelsOf(kRed);
    EXPECT_EQ(textInk.left, red.left);
    EXPECT_EQ(textInk.bottom, red.bottom);
}

TEST_F(EffectTextTest, BackdropBlendsTheShadowColourUnderTheMask)
{
    int stemX = 0, stemY = 0;
    FindStem(stemX, stemY);

    struct Case
    {
        const char* name;
        Gdiplus::ARGB color;
        bool diffused;
        int thickness;
        Gdiplus::ARGB expected;
    };
    const Case cases[] = {
        {"outline, half strength", 0x80000000, false, 2, 0xFF7E7E7E},
        {"outline, no strength", 0x00000000, false, 2, kWhite},
        {"outline, full strength", 0xFF0000FF, false, 2, kBlue},
        {"diffused, two passes", 0x80000000, true, 3, 0xFF3E3E3E},
        {"diffused, no pass", 0x80000000, true, 1, kWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EffectText text;
        text.UsePlainText(kRed);
        ASSERT_TRUE(text.CreateShadowBackdrop(kWhite, kWidth, kHeight));
        if (c.diffused)
            text.SetDiffusedShadow(c.color, c.thickness, kShadowX, kShadowY);
        else
            text.SetOutlineShadow(c.color, c.thickness, kShadowX, kShadowY);
        text.SetShadowEnabled(true);

        const Pixels pixels = Render(text, kGreen);
        EXPECT_EQ(c.expected, pixels.At(stemX + kShadowX, stemY + kShadowY));
        EXPECT_EQ(kRed, pixels.At(stemX, stemY));
        // The composited backdrop covers everything drawn before it.
        EXPECT_EQ(kWhite, pixels.At(2, 2));
        EXPECT_TRUE(pixels.PixelsOf(kGreen).empty);
    }
}

TEST_F(EffectTextTest, ExtrudedShadowCompositesItsWholeBody)
{
    int stemX = 0, stemY = 0, stemRight = 0;
    FindStem(stemX, stemY, stemRight);
    EffectText text;
    text.UsePlainText(kRed);
    ASSERT_TRUE(text.CreateShadowBackdrop(kWhite, kWidth, kHeight));
    text.SetExtrudedShadow(0xFF0000FF, 1, kShadowX, kShadowY);
    text.SetShadowEnabled(true);
    const Pixels pixels = Render(text);
    // The body runs from the moved layout back toward the text: its front
    // copy stands at (2, 1) from the text.
    EXPECT_EQ(kBlue, pixels.At(stemX + kShadowX, stemY + kShadowY));
    EXPECT_EQ(kBlue, pixels.At(stemRight + 2, stemY + 1));
    const int stemLeft = 2 * stemX - stemRight;
    EXPECT_EQ(kWhite, pixels.At(stemLeft - 3, stemY)) << "nothing extends against the offset";
    EXPECT_EQ(kWhite, pixels.At(2, 2));
}

TEST_F(EffectTextTest, BackdropNeedsASize)
{
    EffectText text;
    EXPECT_FALSE(text.CreateShadowBackdrop(kWhite, 0, 10));
    EXPECT_FALSE(text.CreateShadowBackdrop(kWhite, 10, -1));
    EXPECT_EQ(nullptr, text.ShadowBackdrop());
}

TEST_F(EffectTextTest, MeasuringCountsTheShadowOnlyWhenItCoversTheText)
{
    Canvas canvas(kWidth, kHeight);
    canvas.G()->SetPageUnit(Gdiplus::UnitPixel);
    EffectText text;
    text.UsePlainText(kRed);
    float textW = 0, textH = 0, w = 0, h = 0;
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), textW, textH));
    EXPECT_GT(textW, 0);

    text.SetOutlineShadow(kBlue, 2, kShadowX, kShadowY);
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW, w) << "a disabled shadow is not measured";

    text.SetShadowEnabled(true);
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW + 2 + kShadowX, w);
    EXPECT_FLOAT_EQ(textH + 2 + kShadowY, h);

    text.SetOutlineShadow(kBlue, 2, -30, kShadowY);
    ASSERT_TRUE(MeasureAtOrigin(text, canvas.G(), w, h));
    EXPECT_FLOAT_EQ(textW, w);
    EXPECT_FLOAT_EQ(textH, h);

    canvas.G()->SetPageUnit(Gdiplus::UnitWorld);
    EXPECT_FALSE(MeasureAtOrigin(text, canvas.G(), w, h));
}

TEST_F(EffectTextTest, CopyClonesEffectsAndSharesTheBackdrop)
{
    EffectText source;
    source.UseOutline(kRed, kBlue, 4);
    ASSERT_TRUE(source.CreateShadowBackdrop(kWhite, kWidth, kHeight));
    source.SetOutlineShadow(0x80000000, 2, kShadowX, kShadowY);
    source.SetShadowEnabled(true);

    EffectText copy(source);
    EXPECT_NE(source.TextEffect(), copy.TextEffect());
    EXPECT_NE(source.ShadowEffect(), copy.ShadowEffect());
    EXPECT_NE(source.MaskEffect(), copy.MaskEffect());
    ASSERT_NE(nullptr, copy.TextEffect());
    EXPECT_EQ(source.ShadowBackdrop(), copy.ShadowBackdrop());
    EXPECT_EQ(Render(source), Render(copy));

    // Set-ups on the copy leave the source alone.
    const auto sourceEffect = source.TextEffect();
    copy.UsePlainText(kGreen);
    EXPECT_EQ(sourceEffect, source.TextEffect());

    EffectText assigned;
    assigned = source;
    assigned = assigned;
    EXPECT_EQ(Render(source), Render(assigned));
    EXPECT_EQ(source.ShadowBackdrop(), assigned.ShadowBackdrop());
}

TEST_F(EffectTextTest, CopyOfABrushFacadeDrawsAfterTheSourceIsGone)
{
    int stemX = 0, stemY = 0;
    FindStem(stemX, stemY);
    std::unique_ptr<EffectText> copy;
    {
        EffectText source;
        Gdiplus::SolidBrush brush{Gdiplus::Color(kGreen)};
        ASSERT_TRUE(source.UseGlow(&brush, kBlue, 2));
        copy.reset(new EffectText(source));
        Gdiplus::SolidBrush other{Gdiplus::Color(kRed)};
        ASSERT_TRUE(source.UseGlow(&other, kBlue, 2));
    }
    EXPECT_EQ(kGreen, Render(*copy).At(stemX, stemY));
}

TEST_F(EffectTextTest, ReleasesReplacedEffectsAndItsBackdrop)
{
    auto backdrop = std::make_shared<Gdiplus::Bitmap>(8, 8, PixelFormat32bppARGB);
    std::vector<std::weak_ptr<ITextEffect>> released;
    {
        EffectText text;
        text.SetShadowBackdrop(backdrop);
        EXPECT_EQ(2, backdrop.use_count());
        for (int i = 0; i < 50; ++i) {
            text.UseGlow(kRed, kBlue, i % 4);
            released.push_back(text.TextEffect());
            text.SetDiffusedShadow(0x80000000, 2, 1, 1);
            released.push_back(text.ShadowEffect());
            released.push_back(text.MaskEffect());
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

TEST_F(EffectTextTest, BrushSetUpFailureKeepsTheEffect)
{
    EffectText text;
    text.UsePlainText(kRed);
    const auto effect = text.TextEffect();
    EXPECT_FALSE(text.UseOutline(static_cast<const Gdiplus::Brush*>(nullptr), kBlue, 2));
    EXPECT_EQ(effect, text.TextEffect());
    EXPECT_FALSE(text.DrawString(nullptr, &m_family, 0, 20, L"x", kOrigin, nullptr));
}
