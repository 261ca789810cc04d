#include "engine/textfx/DoubleGlowEffect.h"
#include "engine/textfx/ExtrudeEffect.h"
#include "engine/textfx/GlowEffect.h"
#include "engine/textfx/OutlineEffect.h"
#include "engine/textfx/PlainTextEffect.h"
#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <memory>

using namespace TextFx;
using namespace TextFxTest;

namespace {

class BrushTest : public ::testing::Test
{
protected:
    // Colour in the middle of the stem of an "l" drawn through the effect.
    Gdiplus::ARGB CentreColour(ITextEffect& effect)
    {
        Canvas canvas(120, 120);
        EXPECT_TRUE(effect.DrawString(canvas.G(), &m_family, 0, 100, L"l", Gdiplus::Point(20, 5), nullptr));
        const Pixels pixels = canvas.Snapshot();
        const InkBox ink = pixels.Ink(kClear);
        if (ink.empty)
            return kClear;
        const int row = (ink.top + ink.bottom) / 2;
        int first = 0, last = 0;
        pixels.RowInk(row, kClear, first, last);
        return pixels.At((first + last) / 2, row);
    }

    Gdiplus::FontFamily m_family{L"Liberation Sans"};
};

} // namespace

TEST_F(BrushTest, EffectKeepsItsOwnCopyOfTheCallersBrush)
{
    PlainTextEffect plain;
    {
        Gdiplus::SolidBrush brush{Gdiplus::Color(kGreen)};
        ASSERT_TRUE(plain.Init(&brush));
    }   // the caller's brush is gone
    EXPECT_EQ(kGreen, CentreColour(plain));

    // A colour takes over again; the brush copy stays for later clones.
    plain.Init(kRed);
    EXPECT_EQ(kRed, CentreColour(plain));
    EXPECT_NE(nullptr, plain.Fill().HeldBrush());
}

TEST_F(BrushTest, CloneOutlivesItsOriginalAndTheOriginalsNewBrush)
{
    std::unique_ptr<GlowEffect> clone;
    {
        auto original = std::make_unique<GlowEffect>();
        Gdiplus::SolidBrush green{Gdiplus::Color(kGreen)};
        ASSERT_TRUE(original->Init(&green, kClear, 0));
        clone.reset(original->Clone());
        EXPECT_EQ(original->Fill().HeldBrush(), clone->Fill().HeldBrush());

        // Replacing the original's brush must not pull the clone's away.
        Gdiplus::SolidBrush blue{Gdiplus::Color(kBlue)};
        ASSERT_TRUE(original->Init(&blue, kClear, 0));
        EXPECT_EQ(kBlue, CentreColour(*original));
    }
    EXPECT_EQ(kGreen, CentreColour(*clone));
}

TEST_F(BrushTest, EveryBrushEffectClonesSafely)
{
    Gdiplus::HatchBrush hatch(Gdiplus::HatchStyleCross, Gdiplus::Color(kGreen), Gdiplus::Color(kGreen));
    std::unique_ptr<ITextEffect> clones[3];
    {
        OutlineEffect outline;
        ASSERT_TRUE(outline.Init(&hatch, kBlue, 2));
        DoubleGlowEffect glow;
        ASSERT_TRUE(glow.Init(&hatch, kBlue, kBlue, 2, 2));
        ExtrudeEffect extrude;
        ASSERT_TRUE(extrude.Init(&hatch, kBlue, 2, 2, 2));
        clones[0].reset(outline.Clone());
        clones[1].reset(glow.Clone());
        clones[2].reset(extrude.Clone());
    }
    for (auto& clone : clones)
        EXPECT_EQ(kGreen, CentreColour(*clone));
}

TEST_F(BrushTest, NullBrushIsRefusedAndKeepsTheSettings)
{
    OutlineEffect outline;
    outline.Init(kRed, kBlue, 2);
    EXPECT_FALSE(outline.Init(static_cast<const Gdiplus::Brush*>(nullptr), kGreen, 9));
    EXPECT_TRUE(outline.Fill().UsesColor());
    EXPECT_EQ(kRed, CentreColour(outline));
}
