#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/uisystem/CUICaret.h"
#include "engine/directui/uisystem/tagHoverAnimation.h"

using namespace UITest;

struct CaretInWindow : ::testing::Test
{
    RecordedUI ui;
    IUIWindow* box = ui.Add(ui.Root(), L"box", 10, 20, 100, 30);
    CUICaret caret;

    void SetUp() override
    {
        caret.SetOwner(box);
        ui.driver->calls.clear();
    }
    // Draws the caret at the box's origin and says whether it filled anything.
    bool Drawn()
    {
        const int before = ui.driver->Count("fill");
        caret.Draw(box->GetAnchoredX(), box->GetAnchoredY());
        return ui.driver->Count("fill") > before;
    }
};

TEST_F(CaretInWindow, BlinksEveryHalfSecondAndRedrawsOnlyOnAChange)
{
    caret.Show(4, 2, 1, 26, tagColor(0, 0, 0));
    EXPECT_EQ(ui.driver->Count("invalidate"), 1);
    std::string phases;
    for (int tick = 1; tick <= 10; ++tick) {
        caret.Update(100);
        phases += caret.IsLit() ? 'L' : 'd';
    }
    EXPECT_EQ(phases, "LLLLddddd" "L");
    // A blink asks for the caret's own rectangle only.
    EXPECT_EQ(ui.driver->Starting("invalidate"),
              (Lines{"invalidate 10,20,100,30", "invalidate 14,22,1,26", "invalidate 14,22,1,26"}));
    EXPECT_TRUE(Drawn());
    EXPECT_EQ(ui.driver->Starting("fill"), Lines{"fill 14,22,1,26"});

    // A whole period in one tick keeps the phase and asks for nothing.
    caret.Show(0, 0, 1, 26, kOpaqueWhite);
    ui.driver->calls.clear();
    caret.Update(1000);
    EXPECT_TRUE(caret.IsLit());
    EXPECT_TRUE(ui.driver->calls.empty());
    caret.Update(500);
    EXPECT_FALSE(caret.IsLit());
    EXPECT_FALSE(Drawn());
}

TEST_F(CaretInWindow, HiddenCaretsNeitherAdvanceNorDraw)
{
    EXPECT_FALSE(Drawn());
    caret.Show(0, 0, 1, 10, kOpaqueWhite);
    caret.Update(700);
    caret.Hide();
    EXPECT_FALSE(Drawn());
    caret.Update(300);
    // Shown again it starts lit from zero.
    caret.Show(0, 0, 1, 10, kOpaqueWhite);
    EXPECT_TRUE(Drawn());
    caret.Update(499);
    EXPECT_TRUE(caret.IsLit());
    EXPECT_EQ(ui.driver->Count("invalidate"), 4);
    CUICaret orphan;
    orphan.Show(0, 0, 1, 1, kOpaqueWhite);
    orphan.Draw(0, 0);
    EXPECT_EQ(ui.driver->Count("fill"), 1);
}

TEST(HoverFade, FadesInOverASixthOfASecondAndOutAfterTheFadeInCompletes)
{
    RecordedUI ui;
    IUIWindow* button = ui.Add(ui.Root(), L"button", 0, 0, 10, 10);
    tagHoverAnimation fade;
    fade.window = button;
    fade.hovering = true;
    std::vector<int> levels;
    auto tick = [&](int ms) {
        fade.Tick(ms);
        levels.push_back(static_cast<int>(fade.level * 100.0f + 0.5f));
    };
    tick(50);
    fade.hovering = false;
    tick(50);
    tick(100);
    tick(16);
    tick(100);
    tick(100);
    EXPECT_EQ(levels, (std::vector<int>{30, 60, 100, 100, 40, 0}));

    // Drawn: the normal picture until full, the hover picture over it with the level's alpha.
    TIntrusivePointer<IUIImage> normal(ui.ui->CreateImage(L"n")), hover(ui.ui->CreateImage(L"h"));
    fade.level = 0.5f;
    ui.driver->calls.clear();
    fade.Draw(0, 0, 10, 10, normal, hover, tagColor(1, 2, 3, 4));
    EXPECT_EQ(ui.driver->calls, (Lines{"image 0,0,10,10 from 0,0,-1,-1 tint 1,2,3,4",
                                      "image 0,0,10,10 from 0,0,-1,-1 tint 255,255,255,127"}));
    fade.animated = false;
    fade.hovering = true;
    ui.driver->calls.clear();
    fade.Tick(1);
    fade.Draw(0, 0, 10, 10, normal, hover, tagColor(1, 2, 3, 4));
    EXPECT_EQ(fade.level, 1.0f);
    EXPECT_EQ(ui.driver->Starting("image"), Lines{"image 0,0,10,10 from 0,0,-1,-1 tint 1,2,3,4"});
}
