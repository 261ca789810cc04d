#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/frame/CFrame.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/uisystem/IUIStatisticsManager.h"

#include "engine/common/base/ModuleName.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"

#include <map>

using namespace UITest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0),
                   kMagenta = RGB(255, 0, 255), kBlack = RGB(0, 0, 0);

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

} // namespace

TEST(FrameUI, EveryFrameHasAUISystemWhoseRootFollowsTheFrameSize)
{
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 120, 90);
    IUISystem* ui = frame->GetUISystem();
    ASSERT_NE(ui, nullptr);
    IUIWindow* root = frame->GetRootWindow();
    EXPECT_EQ(std::vector<int>({root->GetX(), root->GetY(), root->GetWidth(), root->GetHeight()}),
              std::vector<int>({0, 0, 120, 90}));
    TIntrusivePointer<IUIWindow> content(frame->CreateControl(L"Panel"));
    root->AddChild(content.Get());
    content->SetRect(0, 0, 200, 150);
    frame->FitToContent();
    EXPECT_EQ(frame->GetWidth(), 200);
    EXPECT_EQ(root->GetWidth(), 200);
    frame->ReleaseRoot();
    EXPECT_EQ(root->GetChildCount(), 0);

    // A picture kept beyond its frame keeps the driver, which no longer draws on the frame.
    TIntrusivePointer<IUIImage> kept(frame->CreateImage(L"missing.bmp"));
    TIntrusivePointer<IUISystemDriver> driver(ui->GetDriver());
    frame.Reset();
    EXPECT_EQ(driver->GetFrame(), nullptr);
    EXPECT_EQ(driver->GetFrameHandle(), nullptr);
    kept->DrawStretched(0, 0, 10, 10, kOpaqueWhite);
    driver->FillRect(0, 0, 10, 10, kOpaqueWhite);
    driver->InvalidateAll();
}

TEST(FrameUI, WindowMessagesReachTheWindowsAsTheirEvents)
{
    EventLog log;
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 200, 100);
    TIntrusivePointer<IUIWindow> target(new FocusableWindow());
    target->SetName(L"target");
    frame->GetRootWindow()->AddChild(target.Get());
    target->SetRect(10, 10, 50, 50);
    log.lastDownAt = true;
    log.Watch(target.Get(), {WINDOW_EVENT_LBUTTON_DBLCLK, WINDOW_EVENT_LBUTTON_DOWN, WINDOW_EVENT_LBUTTON_UP,
                             WINDOW_EVENT_RBUTTON_DOWN, WINDOW_EVENT_MOUSE_ENTER, WINDOW_EVENT_KEY_DOWN,
                             WINDOW_EVENT_CHAR});
    HWND window = frame->GetHandle();
    SendMessageW(window, WM_MOUSEMOVE, 0, At(20, 30));
    SendMessageW(window, WM_LBUTTONDBLCLK, 0, At(20, 30));
    SendMessageW(window, WM_LBUTTONUP, 0, At(20, 30));
    SendMessageW(window, WM_RBUTTONDBLCLK, 0, At(20, 30));
    SendMessageW(window, WM_LBUTTONDOWN, 0, At(150, 30));
    frame->SetFocusWindow(target.Get());
    SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(window, WM_CHAR, L'x', 0);
    EXPECT_EQ(log.lines, (Lines{"target enter", "target double 20,30", "target down 20,30", "target up",
                                "target rdown", "target key", "target char 120"}));
    EXPECT_EQ(frame->GetFocusWindow(), target.Get());
    frame->Destroy();
}

// Takes the mouse on a press, as clickable controls do.
struct Grabber
{
    void OnDown(void* sender, tagEventArgs*) { static_cast<IUIWindow*>(sender)->CaptureMouse(); }
};

TEST(FrameUI, APressThatLosesTheFrameEndsWithARelease)
{
    EventLog log;
    Grabber grabber;
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 100, 100);
    TIntrusivePointer<IUIWindow> button(new CUIWindow());
    button->SetName(L"button");
    frame->GetRootWindow()->AddChild(button.Get());
    button->SetRect(0, 0, 40, 40);
    button->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_DOWN, &grabber, &Grabber::OnDown);
    TIntrusivePointer<IUIWindow> inner(new CUIWindow());
    inner->SetName(L"inner");
    button->AddChild(inner.Get());
    inner->SetRect(0, 0, 10, 10);
    log.Watch(inner.Get(), {WINDOW_EVENT_LBUTTON_UP});
    HWND window = frame->GetHandle();
    SendMessageW(window, WM_MOUSEMOVE, 0, At(5, 5));
    SendMessageW(window, WM_LBUTTONDOWN, 0, At(5, 5));
    ASSERT_EQ(frame->GetUISystem()->GetCaptureWindow(), button.Get());
    EXPECT_EQ(GetCapture(), window);
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    // The release went through the captured window, at the last mouse position.
    EXPECT_EQ(log.lines, Lines{"inner up"});
    EXPECT_EQ(frame->GetUISystem()->GetCaptureWindow(), nullptr);
    EXPECT_NE(GetCapture(), window);
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(log.lines.size(), 1u);
    frame->Destroy();
}

TEST(FrameUI, AFramePaintsNestedAnchoredNinePartTintedPanelsAndFontListText)
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current(folder.Path());
    auto solid = [&](const wchar_t* name, uint32_t argb) {
        ASSERT_TRUE(WriteBmp(folder.Child(name), 2, 2, [argb](int, int) { return argb; }));
    };
    solid(L"red.bmp", 0xFFFF0000);
    solid(L"green.bmp", 0xFF00FF00);
    solid(L"white.bmp", 0xFFFFFFFF);
    ASSERT_TRUE(WriteBmp(folder.Child(L"frame.bmp"), 6, 6, [](int x, int y) {
        return (x < 2 || y < 2 || x > 3 || y > 3) ? 0xFF0000FFu : 0xFFFFFF00u;
    }));
    WriteUtf16(folder.Child(L"FontList.xml"),
               L"<FontList>\r\n<Font Name=\"Song\" FontName=\"宋体\" FontSize=\"20\"/>\r\n"
               L"<Font Name=\"Plain\" FontName=\"Liberation Sans\" FontSize=\"20\" Bold=\"true\"/>\r\n</FontList>\r\n");
    IFontManager_GetInstance()->LoadFontList(L"FontList.xml");
    WriteUtf16(folder.Child(L"Scene.xml"),
               L"<Panel Name=\"Outer\" X=\"10\" Y=\"10\" Width=\"280\" Height=\"180\">\r\n"
               L"  <Image Tag=\"Background\" Filename=\"red.bmp\"/>\r\n"
               L"  <Panel Name=\"Corner\" X=\"-30\" Y=\"-30\" Width=\"20\" Height=\"20\" AnchorMode=\"BottomRight\">\r\n"
               L"    <Image Tag=\"Background\" Filename=\"green.bmp\"/>\r\n"
               L"    <Panel Width=\"100\" Height=\"100\" BackgroundImageColor=\"255,0,255\">\r\n"
               L"      <Image Tag=\"Background\" Filename=\"white.bmp\"/>\r\n"
               L"    </Panel>\r\n"
               L"  </Panel>\r\n"
               L"  <Panel Name=\"Framed\" X=\"10\" Y=\"10\" Width=\"60\" Height=\"40\">\r\n"
               L"    <Image Tag=\"Background\" Filename=\"frame.bmp\"/>\r\n"
               L"  </Panel>\r\n"
               L"  <Panel X=\"-20\" Y=\"-20\" Width=\"40\" Height=\"20\" AnchorMode=\"BottomCenter\" "
               L"BackgroundImageColor=\"0,0,255\">\r\n"
               L"    <Image Tag=\"Background\" Filename=\"white.bmp\"/>\r\n"
               L"  </Panel>\r\n"
               L"  <Label Name=\"Song\" X=\"100\" Y=\"10\" Width=\"170\" Height=\"40\" Title=\"安装游戏\" "
               L"TitleFont=\"Song\" TitleColor=\"255,255,0\" TitleAlign=\"CenterRight\"/>\r\n"
               L"</Panel>\r\n");
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 300, 200);
    frame->LoadUI(L"Scene.xml");
    frame->GetRootWindow()->FindWindow(L"Framed")->GetBackgroundImage()->SetNineGrid(true, 2, 2);
    frame->Show();
    UpdateWindow(frame->GetHandle());
    RVTest::PumpMessages();

    HDC buffer = static_cast<CFrame*>(frame.Get())->GetBackBuffer()->GetDC();
    const struct
    {
        int x, y;
        COLORREF expected;
        const char* where;
    } points[] = {
        {5, 5, kBlack, "outside the outer panel"},
        {15, 150, kRed, "outer panel"},
        {270, 170, kMagenta, "child inside its parent's clip"},
        {285, 185, kRed, "child outside its parent's clip"},
        {20, 20, kBlue, "nine-part corner"},
        {50, 21, kBlue, "nine-part top edge"},
        {79, 35, kBlue, "nine-part right edge"},
        {50, 35, kYellow, "nine-part middle"},
        {140, 180, kBlue, "tinted, anchored at the bottom centre"},
        {140, 165, kRed, "above the tinted panel"},
    };
    for (const auto& p : points)
        EXPECT_EQ(GetPixel(buffer, p.x, p.y), p.expected) << p.where << " at " << p.x << "," << p.y;

    // The Chinese title is right-aligned in its box, in yellow, on the red panel.
    int32_t textWidth = 0, textHeight = 0;
    IUISystemDriver* driver = frame->GetUISystem()->GetDriver();
    driver->MeasureText(driver->GetFont(L"Song"), L"安装游戏", &textWidth, &textHeight);
    EXPECT_GT(textWidth, 40);
    int left = 1 << 30, right = -1, yellow = 0;
    for (int y = 20; y < 60; ++y) {
        for (int x = 110; x < 290; ++x) {
            const COLORREF c = GetPixel(buffer, x, y);
            if (c == kRed)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            yellow += c == kYellow;
        }
    }
    EXPECT_GT(yellow, 20);
    EXPECT_LE(right, 110 + 170 - 4);
    EXPECT_GE(left, 110 + 170 - 4 - textWidth - 1);

    frame->Destroy();
}

TEST(FrameUI, ClicksAreCountedUnderTheFrameTitleAndTheWindowsFullName)
{
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 100, 100);
    frame->SetTitle(L"Setup");
    TIntrusivePointer<IUIWindow> panel(frame->CreateControl(L"Panel")), label(frame->CreateControl(L"Label"));
    panel->SetName(L"Scene");
    label->SetName(L"Install");
    frame->GetRootWindow()->AddChild(panel.Get());
    panel->AddChild(label.Get());
    CUIWindow* clicked = dynamic_cast<CUIWindow*>(label.Get());
    clicked->RecordClickStatistics();
    clicked->RecordClickStatistics();
    // Outside any frame the frame part is "Device".
    RecordedUI bare;
    CUIWindow* loose = dynamic_cast<CUIWindow*>(bare.Add(bare.Root(), L"Loose", 0, 0, 1, 1));
    loose->RecordClickStatistics();

    IUIStatisticsManager* statistics = IUIStatisticsManager_GetInstance();
    std::map<std::wstring, uint32_t> hits;
    for (int32_t i = 0; i < statistics->GetItemCount(); ++i)
        hits[statistics->GetItemName(i)] = statistics->GetItemHits(i);
    const std::wstring module = RVGameEngine::Common::GetModuleName();
    EXPECT_EQ(hits[module + L":Setup:Root.Scene.Install"], 2u);
    EXPECT_EQ(hits[module + L":Device:Root.Loose"], 1u);
    frame->Destroy();
}
