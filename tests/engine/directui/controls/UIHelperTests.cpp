#include "engine/directui/controls/IUIHelper.h"
#include "tests/engine/directui/controls/ControlTestSupport.h"

using namespace ControlTest;

namespace {

// Pictures of the given sizes in a fresh current folder. The strips have a
// colour per frame (kFrameColours), so that a look shows which frame it got.
struct HelperUI
{
    SkinFolder skin;
    RecordedUI ui;
    IUIHelper* helper = IUIHelper_GetInstance();
    IUIHelper::System system{ui.ui};

    HelperUI()
    {
        // 202 = 4 x 50 and two columns more, in the last frame's colour.
        EXPECT_TRUE(WriteBmp(skin.folder.Child(L"strip202.bmp"), 202, 40,
                             [](int x, int) { return kFrameColours[std::min(x / 50, 3)]; }));
        skin.Strip(L"check4.bmp", 20, 20, 4);
        skin.Strip(L"six.bmp", 10, 12, 6);
        skin.Strip(L"two.bmp", 15, 12, 2);
        skin.Strip(L"bar64.bmp", 16, 30, 4);
        skin.Strip(L"up.bmp", 16, 16, 4);
        skin.Strip(L"down.bmp", 16, 16, 4);
        for (auto [name, width, height] : {std::tuple{L"whole.bmp", 33, 22}, {L"a1.bmp", 7, 9}, {L"a2.bmp", 8, 9},
                                           {L"a3.bmp", 9, 9}})
            skin.Solid(name, width, height, 0xFF808080);
    }
};

// The frame of its strip that an image shows (the index of its colour), or
// -1 for no image.
int FrameOf(IUIImage* image)
{
    if (image == nullptr)
        return -1;
    TIntrusivePointer<BitmapDriver> canvas(new BitmapDriver(64, 64));
    image->DrawTo(canvas.Get(), 0, 0);
    const Gdiplus::ARGB colour = canvas->At(image->GetWidth() / 2, image->GetHeight() / 2);
    for (int k = 0; k < 6; ++k) {
        if (kFrameColours[k] == colour)
            return k;
    }
    return -2;
}

using Frames = std::vector<int>;

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

    // Each look gets the frame the strip holds for it, and looks without a
    // frame get none.
    EXPECT_EQ((Frames{FrameOf(button->GetUpImage()), FrameOf(button->GetHoverImage()), FrameOf(button->GetDownImage()),
                      FrameOf(button->GetDisabledImage())}),
              (Frames{0, 1, 2, 3}));
    auto lookFrames = [](ICheckBox* box) {
        return Frames{FrameOf(box->GetUncheckedImage()), FrameOf(box->GetUncheckedHoverImage()),
                      FrameOf(box->GetUncheckedDisabledImage()), FrameOf(box->GetCheckedImage()),
                      FrameOf(box->GetCheckedHoverImage()), FrameOf(box->GetCheckedDisabledImage())};
    };
    EXPECT_EQ(lookFrames(four.Get()), (Frames{0, 1, 3, 2, -1, -1}));
    EXPECT_EQ(lookFrames(six.Get()), (Frames{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(lookFrames(h.helper->CreateSmart2CheckBox(h.system, L"two.bmp").Get()), (Frames{0, -1, -1, 1, -1, -1}));

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
    auto bar = h.helper->CreateImageScrollBar(h.system, L"whole.bmp", L"up.bmp", L"down.bmp", L"bar64.bmp");
    ASSERT_TRUE(bar);
    EXPECT_EQ(Size(bar.Get()), "16x160");
    EXPECT_EQ(Source(bar->GetBarUpImage()), "16x30");
    EXPECT_EQ(Source(bar->GetDownDisabledImage()), "16x16");
    EXPECT_EQ(Source(bar->GetBackImage()), "33x22");
    // Arrows take their strips in order; the thumb's first frame is its hover look.
    EXPECT_EQ((Frames{FrameOf(bar->GetUpUpImage()), FrameOf(bar->GetUpDownImage()), FrameOf(bar->GetUpHoverImage()),
                      FrameOf(bar->GetUpDisabledImage())}),
              (Frames{0, 1, 2, 3}));
    EXPECT_EQ((Frames{FrameOf(bar->GetDownUpImage()), FrameOf(bar->GetDownDownImage()),
                      FrameOf(bar->GetDownHoverImage()), FrameOf(bar->GetDownDisabledImage())}),
              (Frames{0, 1, 2, 3}));
    EXPECT_EQ((Frames{FrameOf(bar->GetBarUpImage()), FrameOf(bar->GetBarDownImage()), FrameOf(bar->GetBarHoverImage()),
                      FrameOf(bar->GetBarDisabledImage())}),
              (Frames{2, 1, 0, 3}));
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
