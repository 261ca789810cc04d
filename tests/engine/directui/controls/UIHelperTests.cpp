#include "engine/directui/controls/IUIHelper.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

using namespace UITest;

namespace {

// Pictures of the given sizes in a fresh current folder.
struct HelperUI
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};
    RecordedUI ui;
    IUIHelper* helper = IUIHelper_GetInstance();
    IUIHelper::System system{ui.ui};

    HelperUI()
    {
        const auto grey = [](int, int) { return 0xFF808080u; };
        for (auto [name, width, height] : {std::tuple{L"strip202.bmp", 202, 40}, {L"check4.bmp", 80, 20},
                                           {L"six.bmp", 60, 12}, {L"bar64.bmp", 64, 30}, {L"up.bmp", 64, 16},
                                           {L"whole.bmp", 33, 22}, {L"a1.bmp", 7, 9}, {L"a2.bmp", 8, 9}, {L"a3.bmp", 9, 9}})
            EXPECT_TRUE(WriteBmp(folder.Child(name), width, height, grey));
    }
};

// The size an image shows (its cut frame, else the whole picture), or "none".
std::string Source(IUIImage* image)
{
    if (image == nullptr)
        return "none";
    return std::to_string(image->GetWidth()) + "x" + std::to_string(image->GetHeight());
}

std::string Size(IUIWindow* window)
{
    return std::to_string(window->GetWidth()) + "x" + std::to_string(window->GetHeight());
}

} // namespace

TEST(UIHelper, StripsAreCutIntoEqualFramesForEachLookAndSizeTheControl)
{
    HelperUI h;
    // 202 / 4 = 50: the last two columns are never shown.
    auto button = h.helper->CreateSmartButton(h.system, L"strip202.bmp");
    ASSERT_TRUE(button);
    EXPECT_EQ(Size(button.Get()), "50x40");
    EXPECT_EQ(Source(button->GetDisabledImage()), "50x40");
    EXPECT_NE(button->GetUpImage(), button->GetDownImage());

    auto four = h.helper->CreateSmart4CheckBox(h.system, L"check4.bmp");
    ASSERT_TRUE(four);
    EXPECT_EQ(Size(four.Get()), "20x20");
    EXPECT_EQ(Source(four->GetCheckedHoverImage()), "none");
    EXPECT_EQ(Source(four->GetUncheckedDisabledImage()), "20x20");

    auto six = h.helper->CreateSmart6CheckBox(h.system, L"six.bmp");
    ASSERT_TRUE(six);
    EXPECT_EQ(Size(six.Get()), "10x12");
    EXPECT_EQ(Source(six->GetCheckedDisabledImage()), "10x12");

    auto two = h.helper->CreateSmart2CheckBox(h.system, L"six.bmp");
    EXPECT_EQ(Size(two.Get()), "30x12");
    EXPECT_EQ(Source(two->GetUncheckedHoverImage()), "none");

    // One picture for all four looks of a button; whole pictures size panels.
    auto image = h.helper->CreateImageButton(h.system, L"whole.bmp");
    EXPECT_EQ(image->GetUpImage(), image->GetDisabledImage());
    EXPECT_EQ(Size(image.Get()), "33x22");
    EXPECT_EQ(Size(h.helper->CreateImagePanel(h.system, L"whole.bmp").Get()), "33x22");
    EXPECT_EQ(Size(h.helper->CreateImageDialog(h.system, L"missing.bmp").Get()), "0x0");
}

TEST(UIHelper, AnimationsAndScrollBarsAreBuiltFromStripsPatternsAndFourPictures)
{
    HelperUI h;
    auto empty = h.helper->CreateStripAnimationBox(h.system, 0, 12, L"six.bmp");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetFramesPerSecond(), 12);
    EXPECT_EQ(Size(empty.Get()), "0x0");
    auto strip = h.helper->CreateStripAnimationBox(h.system, 3, 5, L"six.bmp");
    EXPECT_EQ(Size(strip.Get()), "20x12");

    // Numbered files from the first number; the box takes the first one's size.
    auto pattern = h.helper->CreatePatternAnimationBox(h.system, 3, 10, 1, L"a%d.bmp");
    EXPECT_EQ(Size(pattern.Get()), "7x9");
    // A pattern that would be a format of its own loads nothing.
    auto hostile = h.helper->CreatePatternAnimationBox(h.system, 3, 10, 1, L"%s%n");
    EXPECT_EQ(Size(hostile.Get()), "0x0");

    // One frame of the 64-pixel bar strip wide, ten high; arrows made.
    auto bar = h.helper->CreateImageScrollBar(h.system, L"whole.bmp", L"up.bmp", L"up.bmp", L"bar64.bmp");
    ASSERT_TRUE(bar);
    EXPECT_EQ(Size(bar.Get()), "16x160");
    EXPECT_EQ(Source(bar->GetBarUpImage()), "16x30");
    EXPECT_EQ(Source(bar->GetDownDisabledImage()), "16x16");
    EXPECT_EQ(Source(bar->GetBackImage()), "33x22");
}

TEST(UIHelper, TemplatesTypeTheirControlsAndRectanglesSwapBack)
{
    HelperUI h;
    EXPECT_TRUE(h.helper->CreateLabel(h.system));
    EXPECT_TRUE(h.helper->CreateEditBox(h.system));
    EXPECT_TRUE(h.helper->CreateRichLabel(h.system));
    EXPECT_TRUE(h.helper->CreateRichOutputBox(h.system));
    EXPECT_TRUE(h.helper->CreateDigits(h.system));
    EXPECT_FALSE(h.helper->CreatePanel(IUIHelper::System()));

    TIntrusivePointer<IUIWindow> a(h.helper->CreatePanel(h.system).Get());
    TIntrusivePointer<IUIWindow> b(h.helper->CreateLabel(h.system).Get());
    a->SetRect(1, 2, 3, 4);
    b->SetRect(10, 20, 30, 40);
    h.helper->SwapWindowRects(a, b);
    EXPECT_EQ(a->GetX(), 10);
    EXPECT_EQ(Size(b.Get()), "3x4");
    h.helper->SwapWindowRects(a, b);
    EXPECT_EQ(a->GetY(), 2);
    h.helper->SwapWindowRects(a, TIntrusivePointer<IUIWindow>());
    EXPECT_EQ(a->GetX(), 1);

    h.helper->SetWindowBackgroundImage(a, h.system, L"whole.bmp");
    ASSERT_NE(a->GetBackgroundImage(), nullptr);
    EXPECT_EQ(a->GetBackgroundImage()->GetImageWidth(), 33);
}
