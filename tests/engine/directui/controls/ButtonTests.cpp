#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/CButton.h"

using namespace ControlTest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

enum enmLook { LOOK_UP, LOOK_HOVER, LOOK_DOWN, LOOK_DISABLED };

// Puts the button at (10, 10) into the look: hover by a move over it, down
// by a press on it.
void Enter(IUISystemDriver* driver, IUIWindow* button, enmLook look)
{
    if (look == LOOK_DISABLED)
        button->Disable();
    if (look == LOOK_HOVER)
        driver->RaiseMouseMove(15, 15);
    if (look == LOOK_DOWN)
        driver->RaiseLButtonDown(15, 15);
}

} // namespace

TEST(ButtonLooks, StripsAreCutIntoFramesAndEachStateShowsItsFrame)
{
    struct Row
    {
        const wchar_t* tag;
        int frames;
        enmLook look;
        int frameShown;
    };
    const Row rows[] = {
        {L"Smart", 4, LOOK_UP, 0},     {L"Smart", 4, LOOK_HOVER, 1},  {L"Smart", 4, LOOK_DOWN, 2},
        {L"Smart", 4, LOOK_DISABLED, 3}, {L"Smart3", 3, LOOK_UP, 0}, {L"Smart3", 3, LOOK_HOVER, 0},
        {L"Smart3", 3, LOOK_DOWN, 1},  {L"Smart3", 3, LOOK_DISABLED, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.frames << " frames, look " << row.look);
        SkinFolder skin;
        skin.Strip(L"strip.bmp", 30, 20, row.frames);
        PaintedUI painted;
        painted.Load((std::wstring(L"<Button Name=\"b\" X=\"10\" Y=\"10\" Width=\"90\" Height=\"50\" "
                                   L"EnableHoverAnimation=\"false\"><Image Tag=\"") +
                      row.tag + L"\" Filename=\"strip.bmp\"/></Button>")
                         .c_str());
        IButton* button = Find<IButton>(painted.ui.Get(), L"b");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetWidth(), 30);
        EXPECT_EQ(button->GetHeight(), 20);
        // The strip is no background picture of the button.
        EXPECT_EQ(button->GetBackgroundImage(), nullptr);
        Enter(painted.driver.Get(), button, row.look);
        painted.Paint();
        EXPECT_EQ(painted.driver->At(25, 20), kFrameColours[row.frameShown]);
        EXPECT_EQ(painted.driver->InkIn(0, 0, 200, 100).right, 39);
        EXPECT_EQ(painted.driver->InkIn(0, 0, 200, 100).bottom, 29);
    }
}

TEST(ButtonLooks, FramesDropTheRemainderAndSmartImageKeepsTheSize)
{
    SkinFolder skin;
    ASSERT_TRUE(WriteBmp(skin.folder.Child(L"wide.bmp"), 102, 10, [](int, int) { return kFrameColours[0]; }));
    ASSERT_TRUE(WriteBmp(skin.folder.Child(L"three.bmp"), 90, 30, [](int, int) { return kFrameColours[0]; }));
    RecordedUI ui;
    ui.Load(L"<Button Name=\"smart\"><Image Tag=\"Smart\" Filename=\"wide.bmp\"/>"
            L"<Image Tag=\"Up\" Filename=\"three.bmp\"/></Button>"
            L"<Button Name=\"both\"><Image Tag=\"Smart\" Filename=\"wide.bmp\"/>"
            L"<Image Tag=\"Smart3\" Filename=\"three.bmp\"/></Button>");
    IButton* smart = Find<IButton>(ui.ui.Get(), L"smart");
    // Smart3 wins over Smart, and Smart over Up.
    EXPECT_EQ(Find<IButton>(ui.ui.Get(), L"both")->GetWidth(), 30);
    ui.driver->calls.clear();
    Window(smart)->OnPaint();
    EXPECT_EQ(ui.driver->Starting("image"), Lines{"image 0,0,25,10 from 0,0,25,10 tint 255,255,255,255"});
    smart->SetSmartImage(L"three.bmp");
    EXPECT_EQ(smart->GetWidth(), 25);
    EXPECT_EQ(smart->GetDisabledImage()->GetWidth(), 22);

    // Without a UI system there is no driver to load with: nothing happens.
    TIntrusivePointer<CButton> loose(new CButton());
    loose->SetSmartImage(L"three.bmp");
    EXPECT_EQ(loose->GetUpImage(), nullptr);
}

TEST(ButtonLooks, TheHoverLookFadesInWithTheTicksAndOutAfterTheFadeIn)
{
    SkinFolder skin;
    skin.Strip(L"strip.bmp", 10, 10, 4);
    RecordedUI ui;
    // A hover look alone fades from transparent to opaque and back.
    ui.Load(L"<Button Name=\"b\" Width=\"10\" Height=\"10\">"
            L"<Image Tag=\"Hover\" Filename=\"strip.bmp\" X=\"10\" Y=\"0\" Width=\"10\" Height=\"10\"/></Button>");
    IButton* button = Find<IButton>(ui.ui.Get(), L"b");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->IsHoverAnimationEnabled());
    // The alpha of each look drawn.
    auto alphas = [&]() {
        ui.driver->calls.clear();
        Window(button)->OnPaint();
        std::vector<int> drawn;
        for (const std::string& line : ui.driver->Starting("image")) {
            int alpha = 0;
            sscanf(line.c_str(), "image %*d,%*d,%*d,%*d from %*d,%*d,%*d,%*d tint %*d,%*d,%*d,%d", &alpha);
            drawn.push_back(alpha);
        }
        return drawn;
    };
    using Alphas = std::vector<int>;
    EXPECT_EQ(alphas(), Alphas{});
    ui.driver->RaiseMouseMove(5, 5);
    ui.driver->RaiseFrameMove(100);
    EXPECT_EQ(alphas(), Alphas{153});
    // The pointer leaves, but a started fade-in completes first.
    ui.driver->RaiseMouseMove(300, 200);
    ui.driver->RaiseFrameMove(100);
    EXPECT_EQ(alphas(), Alphas{255});
    ui.driver->RaiseFrameMove(50);
    ui.driver->RaiseFrameMove(50);
    EXPECT_EQ(alphas(), Alphas{178});
    ui.driver->RaiseFrameMove(200);
    EXPECT_EQ(alphas(), Alphas{});
}

// Records the colour of every title drawn.
struct TitleColourDriver : RecordingDriver
{
    void DrawText(int32_t, const wchar_t* text, tagColor c, int32_t, int32_t, int32_t, int32_t, int32_t) override
    {
        Record("text %ls in %d,%d,%d", text, c.red, c.green, c.blue);
    }
};

TEST(ButtonLooks, TitleColoursFollowTheStateOnceOneIsSetAndTheTitleIsDrawnOnce)
{
    struct Row
    {
        bool setColours;
        enmLook look;
        const char* drawn;
    };
    const Row rows[] = {
        {false, LOOK_DOWN, "text Go in 1,2,3"},        {true, LOOK_UP, "text Go in 10,0,0"},
        {true, LOOK_HOVER, "text Go in 255,255,255"}, {true, LOOK_DOWN, "text Go in 0,20,0"},
        {true, LOOK_DISABLED, "text Go in 255,255,255"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "look " << row.look << (row.setColours ? " with" : " without")
                                        << " state colours");
        TIntrusivePointer<TitleColourDriver> driver(new TitleColourDriver());
        TIntrusivePointer<IUISystem> ui(IUISystem_Create(driver.Get()));
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 100, 100);
        TIntrusivePointer<IUIWindow> window(ui->CreateControl(L"Button"));
        ui->GetRootWindow()->AddChild(window.Get());
        IButton* button = dynamic_cast<IButton*>(window.Get());
        button->SetRect(10, 10, 30, 20);
        button->SetTitle(L"Go");
        button->SetTitleColor(tagColor(1, 2, 3));
        button->EnableHoverAnimation(false);
        if (row.setColours) {
            button->SetUpColor(tagColor(10, 0, 0));
            button->SetDownColor(tagColor(0, 20, 0));
        }
        Enter(driver.Get(), button, row.look);
        driver->calls.clear();
        driver->RaisePaint();
        EXPECT_EQ(driver->Starting("text"), Lines{row.drawn});
        ui->ResetWindowTree();
    }
}
