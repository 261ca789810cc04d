#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/uisystem/UIEventArgs.h"

using namespace UITest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
}

// Two overlapping windows over a back one, one of them holding a child.
struct Overlap : ::testing::Test
{
    EventLog log;
    RecordedUI ui;
    IUIWindow* back = ui.Add(ui.Root(), L"back", 0, 0, 300, 200);
    IUIWindow* lower = ui.Add(back, L"lower", 10, 10, 100, 100);
    IUIWindow* upper = ui.Add(back, L"upper", 50, 50, 100, 100);
    IUIWindow* inner = ui.Add(upper, L"inner", 5, 5, 20, 20);

    void SetUp() override
    {
        for (IUIWindow* w : {back, lower, upper, inner})
            log.Watch(w, {WINDOW_EVENT_LBUTTON_DOWN, WINDOW_EVENT_LBUTTON_UP, WINDOW_EVENT_MOUSE_MOVE,
                          WINDOW_EVENT_RBUTTON_DOWN});
        ui.driver->calls.clear();
    }
};

TEST_F(Overlap, PressesReachEveryWindowUnderThePointTopMostFirstUntilOneTakesIt)
{
    ui.driver->RaiseLButtonDown(60, 60);
    EXPECT_EQ(log.lines, (Lines{"back down", "upper down", "inner down", "lower down"}));

    log.lines.clear();
    log.takers = {"upper"};
    ui.driver->RaiseLButtonDown(60, 60);
    EXPECT_EQ(log.lines, (Lines{"back down", "upper down"}));

    // A point on the far edges is inside; ExtraReactWidth widens to the right.
    log.lines.clear();
    log.takers.clear();
    ui.driver->RaiseRButtonDown(110, 30);
    EXPECT_EQ(log.lines, (Lines{"back rdown", "lower rdown"}));
    log.lines.clear();
    ui.driver->RaiseRButtonDown(118, 20);
    EXPECT_EQ(log.lines, (Lines{"back rdown"}));
    lower->SetExtraReactWidth(10);
    log.lines.clear();
    ui.driver->RaiseRButtonDown(118, 20);
    EXPECT_EQ(log.lines, (Lines{"back rdown", "lower rdown"}));
}

TEST_F(Overlap, HiddenAndDisabledWindowsTakeNoRoutedInputButMovesReachWindowsAwayFromTheMouse)
{
    upper->Disable();
    ui.driver->RaiseLButtonDown(60, 60);
    EXPECT_EQ(log.lines, (Lines{"back down", "lower down"}));
    upper->Enable();
    upper->Hide();
    log.lines.clear();
    ui.driver->RaiseMouseMove(390, 290);
    EXPECT_EQ(log.lines, (Lines{"back move", "lower move"}));
}

TEST_F(Overlap, FrameDragSwallowsPressesInsideAndStartsTheDrag)
{
    upper->SetFrameDrag(true);
    ui.driver->RaiseLButtonDown(60, 60);
    EXPECT_EQ(log.lines, (Lines{"back down", "upper down", "lower down"}));
    EXPECT_EQ(ui.driver->Count("drag"), 1);
    log.lines.clear();
    ui.driver->RaiseLButtonDown(20, 20);
    EXPECT_EQ(log.lines, (Lines{"back down", "lower down"}));
    EXPECT_EQ(ui.driver->Count("drag"), 1);
}

TEST_F(Overlap, CaptureTakesAllMouseInputUntilTheNextLeftRelease)
{
    log.Watch(lower, {WINDOW_EVENT_MOUSE_ENTER, WINDOW_EVENT_MOUSE_LEAVE});
    lower->CaptureMouse();
    EXPECT_EQ(ui.driver->calls, (Lines{"capture"}));
    // Input outside the captured window goes to its subtree (which has no
    // children here), never to the windows under the point; hover stays.
    ui.driver->RaiseMouseMove(20, 20);
    ui.driver->RaiseLButtonDown(250, 150);
    EXPECT_EQ(log.lines, Lines{});
    EXPECT_EQ(ui.System()->GetHoverWindow(), nullptr);
    // The release goes through the captured window and ends the capture,
    // though nobody took it.
    ui.driver->RaiseLButtonUp(250, 150);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), nullptr);
    EXPECT_EQ(ui.driver->Starting("release"), Lines{"release"});
    ui.driver->RaiseMouseMove(20, 20);
    EXPECT_EQ(log.lines, (Lines{"lower enter", "back move", "upper move", "inner move", "lower move"}));
}

TEST_F(Overlap, HoverLeavesTheOldWindowBeforeEnteringTheNewAndIgnoresPointThroughWindows)
{
    for (IUIWindow* w : {back, lower, upper, inner})
        log.Watch(w, {WINDOW_EVENT_MOUSE_ENTER, WINDOW_EVENT_MOUSE_LEAVE});
    log.Watch(ui.Root(), {WINDOW_EVENT_MOUSE_ENTER});
    auto hoverAlong = [&](int x, int y) {
        log.lines.clear();
        ui.driver->RaiseMouseMove(x, y);
        Lines hover;
        for (const std::string& line : log.lines) {
            if (line.find("enter") != std::string::npos || line.find("leave") != std::string::npos)
                hover.push_back(line);
        }
        return hover;
    };
    EXPECT_EQ(hoverAlong(20, 20), Lines{"lower enter"});
    EXPECT_EQ(hoverAlong(21, 21), Lines{});
    EXPECT_EQ(hoverAlong(60, 60), (Lines{"lower leave", "inner enter"}));
    // A disabled window is still under the mouse; a penetrable one is not.
    inner->Disable();
    EXPECT_EQ(hoverAlong(61, 61), Lines{});
    inner->SetPenetrable(true);
    EXPECT_EQ(hoverAlong(62, 62), (Lines{"inner leave", "upper enter"}));
    EXPECT_EQ(hoverAlong(250, 150), (Lines{"upper leave", "back enter"}));
    EXPECT_EQ(hoverAlong(390, 290), (Lines{"back leave", "Root enter"}));
}

TEST(Routing, BarePanelsLetThePointThroughUnlessTheyHaveAPictureOrNamesArePicked)
{
    RecordedUI ui;
    IUIWindow* panel = ui.Add(ui.Root(), L"panel", 0, 0, 200, 200, L"Panel");
    IUIWindow* label = ui.Add(panel, L"", 10, 10, 20, 20, L"Label");
    ASSERT_NE(dynamic_cast<IPanel*>(panel), nullptr);
    EXPECT_EQ(ui.ui->WindowFromPoint(15, 15), label);
    EXPECT_EQ(ui.ui->WindowFromPoint(100, 100), ui.Root());
    ui.ui->SetPickNamedWindows(true);
    EXPECT_EQ(ui.ui->WindowFromPoint(100, 100), panel);
    EXPECT_EQ(ui.ui->WindowFromPoint(15, 15), label);
    ui.ui->SetPickNamedWindows(false);
    TIntrusivePointer<IUIImage> picture(ui.ui->CreateImage(L"no such picture.png"));
    panel->SetBackgroundImage(picture.Get());
    EXPECT_EQ(ui.ui->WindowFromPoint(100, 100), panel);
    panel->Hide();
    EXPECT_EQ(ui.ui->WindowFromPoint(15, 15), ui.Root());
    EXPECT_EQ(ui.ui->WindowFromPoint(401, 10), nullptr);
}

TEST(Routing, WheelGoesToTheWindowUnderTheLastMoveAndFollowsPanelWheelTargets)
{
    EventLog log;
    RecordedUI ui;
    IUIWindow* first = ui.Add(ui.Root(), L"first", 0, 0, 100, 100, L"Panel");
    IUIWindow* second = ui.Add(ui.Root(), L"second", 200, 0, 100, 100, L"Panel");
    IUIWindow* third = ui.Add(ui.Root(), L"third", 200, 150, 100, 100, L"Panel");
    TIntrusivePointer<IUIImage> picture(ui.ui->CreateImage(L""));
    first->SetBackgroundImage(picture.Get());
    for (IUIWindow* panel : {first, second, third})
        log.Watch(panel, {kPanelMouseWheelEvent});
    first->SetWheelTarget(second);
    second->SetWheelTarget(third);

    ui.driver->RaiseMouseMove(50, 50);
    first->CaptureMouse();
    ui.driver->RaiseMouseWheel(-2);
    // A disabled panel ends the chain; a chain back to its start ends there.
    second->Disable();
    ui.driver->RaiseMouseWheel(1);
    second->Enable();
    third->SetWheelTarget(first);
    ui.driver->RaiseMouseWheel(3);
    // Nothing under the last position: nobody gets the turn.
    ui.driver->RaiseMouseMove(500, 500);
    ui.driver->RaiseMouseWheel(1);
    EXPECT_EQ(log.lines, (Lines{"first wheel -2", "second wheel -2", "third wheel -2", "first wheel 1", "first wheel 3",
                                "second wheel 3", "third wheel 3"}));
}

TEST(Focus, KeysGoToTheFocusWindowWhichChangesOnlyToFocusableWindows)
{
    EventLog log;
    RecordedUI ui;
    TIntrusivePointer<IUIWindow> a(new FocusableWindow()), b(new FocusableWindow());
    a->SetName(L"a");
    b->SetName(L"b");
    ui.Root()->AddChild(a.Get());
    ui.Root()->AddChild(b.Get());
    IUIWindow* plain = ui.Add(ui.Root(), L"plain", 0, 0, 10, 10);
    for (IUIWindow* w : {a.Get(), b.Get(), plain})
        log.Watch(w, {WINDOW_EVENT_KEY_DOWN, WINDOW_EVENT_FOCUS_GAINED, WINDOW_EVENT_FOCUS_LOST});

    ui.driver->RaiseKeyDown(VK_RETURN);
    ui.ui->SetFocus(a.Get());
    ui.driver->RaiseKeyDown(VK_RETURN);
    ui.ui->SetFocus(a.Get());
    ui.ui->SetFocus(plain);
    ui.ui->SetFocus(b.Get());
    ui.driver->RaiseKillFocus();
    ui.driver->RaiseSetFocus();
    ui.ui->SetFocus(nullptr);
    ui.driver->RaiseKeyDown(VK_RETURN);
    EXPECT_EQ(log.lines, (Lines{"a focus", "a key", "a blur", "b focus", "b blur", "b focus", "b blur"}));
    // Every non-null request asks for the frame's keyboard focus, the refused one too.
    EXPECT_EQ(ui.driver->Count("framefocus"), 4);
}

TEST(ClipStack, PushIntersectsWithTheCurrentClipAndPopRestores)
{
    RecordedUI ui;
    IUISystem* s = ui.ui.Get();
    auto clip = [&] {
        bool on = false;
        int32_t x, y, w, h;
        s->GetClipRect(&on, &x, &y, &w, &h);
        return std::vector<int>{on, x, y, w, h};
    };
    s->PushClipRect(true, 50, 50, 20, 20);
    s->PushClipRect(true, 10, 10, 100, 100);
    EXPECT_EQ(clip(), (std::vector<int>{1, 50, 50, 20, 20}));
    s->PushClipRect(true, 200, 200, 10, 10);
    EXPECT_EQ(clip(), (std::vector<int>{1, 200, 200, 0, 0}));
    s->PopClipRect();
    s->PopClipRect();
    EXPECT_EQ(clip(), (std::vector<int>{1, 50, 50, 20, 20}));
    s->PopClipRect();
    s->PopClipRect();
    EXPECT_EQ(clip(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(ui.driver->calls.back(), "noclip");
    EXPECT_EQ(ui.System()->GetClipDepth(), 0u);
}

TEST(Painting, ParentsPaintBeforeChildrenEachInItsClipAndThePaintEventComesLast)
{
    EventLog log;
    RecordedUI ui;
    IUIWindow* a = ui.Add(ui.Root(), L"a", 10, 10, 100, 100);
    IUIWindow* a1 = ui.Add(a, L"a1", 5, 5, 20, 20);
    IUIWindow* b = ui.Add(ui.Root(), L"b", 150, 10, 100, 100);
    IUIWindow* away = ui.Add(a, L"away", 200, 0, 10, 10);
    IUIWindow* hidden = ui.Add(ui.Root(), L"hidden", 0, 0, 10, 10);
    hidden->Hide();
    for (IUIWindow* w : {a, a1, b, away, hidden}) {
        w->SetTitle(w->GetName());
        log.Watch(w, {WINDOW_EVENT_PAINT});
    }
    // The paint event draws inside the window's clip: record it in the driver's stream.
    struct Marker
    {
        RecordingDriver* driver;
        void On(void* sender, tagEventArgs*)
        {
            driver->Record("event %ls", static_cast<IUIWindow*>(sender)->GetName());
        }
    } marker{ui.driver.Get()};
    for (IUIWindow* w : {a, a1, b})
        w->AddMemberFunctionDelegate(WINDOW_EVENT_PAINT, &marker, &Marker::On);
    ui.driver->calls.clear();
    ui.driver->RaisePaint();
    EXPECT_EQ(ui.driver->calls, (Lines{"clip 10,10,100,100", "text a 10,10,100,100 align 4", "clip 15,15,20,20",
                                      "text a1 15,15,20,20 align 4", "event a1", "clip 10,10,100,100", "event a",
                                      "noclip", "clip 150,10,100,100", "text b 150,10,100,100 align 4", "event b",
                                      "noclip"}));
    EXPECT_EQ(log.lines, (Lines{"a1 paint", "a paint", "b paint"}));
}

TEST(Painting, BackgroundsStretchOverTheWindowWithTheirColourAndNinePartsSkipEmptyPieces)
{
    RVTest::TempFolder folder;
    RecordedUI ui;
    IUIWindow* w = ui.Add(ui.Root(), L"w", 10, 20, 30, 40);
    TIntrusivePointer<IUIImage> picture(ui.ui->CreateImage(L"missing.png"));
    w->SetBackgroundImage(picture.Get());
    w->SetBackgroundImageColor(tagColor(1, 2, 3, 4));
    ui.driver->calls.clear();
    ui.driver->RaisePaint();
    // The missing picture is 0 x 0: the stretch source is one pixel short.
    EXPECT_EQ(ui.driver->Starting("image"), Lines{"image 10,20,30,40 from 0,0,-1,-1 tint 1,2,3,4"});

    // A source rectangle gives the size even without a picture.
    picture->SetSubRect(true, 0, 0, 12, 12);
    EXPECT_EQ(picture->GetWidth(), 12);

    // Nine parts of a 4-pixel border of a 12 x 12 picture drawn into 6 x 20:
    // the middle column has no width and is left out.
    const std::wstring file = folder.Child(L"grid.bmp");
    ASSERT_TRUE(WriteBmp(file, 12, 12, [](int, int) { return 0xFF808080u; }));
    TIntrusivePointer<IUIImage> grid(ui.ui->CreateImage(file.c_str()));
    grid->SetNineGrid(true, 4, 4);
    ui.driver->calls.clear();
    grid->DrawStretched(0, 0, 6, 20, kOpaqueWhite);
    EXPECT_EQ(ui.driver->calls,
              (Lines{"image 0,0,4,4 from 0,0,4,4 tint 255,255,255,255", "image 2,0,4,4 from 8,0,4,4 tint 255,255,255,255",
                     "image 0,4,4,12 from 0,4,4,4 tint 255,255,255,255", "image 2,4,4,12 from 8,4,4,4 tint 255,255,255,255",
                     "image 0,16,4,4 from 0,8,4,4 tint 255,255,255,255", "image 2,16,4,4 from 8,8,4,4 tint 255,255,255,255"}));
    // Unscaled into its own size the whole picture is the source; otherwise one pixel less.
    grid->SetNineGrid(false, 0, 0);
    ui.driver->calls.clear();
    grid->DrawStretched(0, 0, 12, 12, kOpaqueWhite);
    grid->DrawStretched(0, 0, 24, 24, kOpaqueWhite);
    EXPECT_EQ(ui.driver->calls, (Lines{"image 0,0,12,12 from 0,0,12,12 tint 255,255,255,255",
                                      "image 0,0,24,24 from 0,0,11,11 tint 255,255,255,255"}));
}

TEST(Anchors, EachModeMeasuresFromItsPointOfTheParent)
{
    RecordedUI ui;
    IUIWindow* parent = ui.Add(ui.Root(), L"parent", 100, 50, 200, 80);
    IUIWindow* child = ui.Add(parent, L"child", -10, -10, 5, 5);
    const int expected[9][2] = {{90, 40},  {190, 40},  {290, 40},  {90, 80},  {190, 80},
                                {290, 80}, {90, 120}, {190, 120}, {290, 120}};
    for (int mode = 0; mode < 9; ++mode) {
        child->SetAnchorMode(mode);
        EXPECT_EQ(child->GetAnchoredX(), expected[mode][0]) << mode;
        EXPECT_EQ(child->GetAnchoredY(), expected[mode][1]) << mode;
    }
    child->SetAnchorMode(12);
    EXPECT_EQ(child->GetAnchoredX(), 90);
    // Centring writes the offset, not the frame position.
    child->SetAnchorMode(8);
    child->SetRect(0, 0, 50, 20);
    child->CenterInParent();
    EXPECT_EQ(child->GetX(), 75);
    EXPECT_EQ(child->GetY(), 30);
    EXPECT_EQ(child->GetAnchoredX(), 375);
}
