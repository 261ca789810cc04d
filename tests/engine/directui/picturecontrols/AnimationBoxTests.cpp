#include "engine/directui/controls/IAnimationBox.h"
#include "tests/engine/directui/picturecontrols/PictureControlSupport.h"

#include <vector>

using namespace UITest;

namespace {

struct AnimationUI
{
    PictureFolder pictures;
    RecordedUI ui;
    IAnimationBox* box = nullptr;
    EventCounter ended;

    explicit AnimationUI(const wchar_t* description)
    {
        ui.Load(description);
        box = dynamic_cast<IAnimationBox*>(ui.Root()->FindWindow(L"a"));
        if (box != nullptr)
            box->AddMemberFunctionDelegate(kAnimationBoxAnimationEndEvent, &ended, &EventCounter::On);
    }
    IUIWindow* Window() { return ui.Root()->FindWindow(L"a"); }
    // The source x of the frame drawn, or -1 when none is drawn.
    int DrawnFrameX()
    {
        const Lines drawn = Paint(ui);
        if (drawn.empty())
            return -1;
        return std::stoi(drawn.back().substr(drawn.back().find("<-") + 2));
    }
};

const wchar_t kStrip[] = L"<AnimationBox Name=\"a\" FrameCount=\"3\" FramePerSecond=\"10\">"
                         L"<Image Tag=\"Smart\" Filename=\"strip.bmp\"/></AnimationBox>";

} // namespace

TEST(AnimationBox, FramesComeFromAStripNumberedFilesOrChildElements)
{
    AnimationUI strip(kStrip);
    ASSERT_NE(strip.box, nullptr);
    EXPECT_EQ(strip.Window()->GetWidth(), 100);
    EXPECT_EQ(strip.Window()->GetHeight(), 10);

    // Numbered files start at 1 unless told; the box takes the first picture's size.
    AnimationUI files(L"<AnimationBox Name=\"a\" FrameCount=\"3\" FilenamePattern=\"f%d.bmp\"/>");
    EXPECT_EQ(files.Window()->GetWidth(), 31);
    AnimationUI later(L"<AnimationBox Name=\"a\" FrameCount=\"2\" StartFrameNumber=\"2\" FilenamePattern=\"f%d.bmp\"/>");
    EXPECT_EQ(later.Window()->GetWidth(), 32);
    // A pattern that would be used as a format of its own loads nothing.
    AnimationUI hostile(L"<AnimationBox Name=\"a\" Width=\"5\" FrameCount=\"3\" FilenamePattern=\"%s%n%d\"/>");
    EXPECT_EQ(hostile.Window()->GetWidth(), 5);
    EXPECT_EQ(hostile.DrawnFrameX(), -1);

    AnimationUI children(L"<AnimationBox Name=\"a\" Width=\"50\" Height=\"50\" FrameCount=\"2\" FramePerSecond=\"1\">"
                         L"<Image Tag=\"Frame0\" Filename=\"f1.bmp\"/><Image Tag=\"Frame1\" Filename=\"f2.bmp\"/>"
                         L"</AnimationBox>");
    EXPECT_EQ(children.Window()->GetWidth(), 50);
    EXPECT_EQ(Paint(children.ui), Lines{"0,0,50,50<-0,0,30,11"});
}

TEST(AnimationBox, EachModeEndsItsOwnWay)
{
    struct Case
    {
        int mode;
        int frameAfterEnd; // source x, -1: nothing drawn
        bool visibleAfterEnd;
        int endEvents;
    };
    const Case cases[] = {
        {1, 200, true, 1},
        {2, -1, true, 1},
        {3, -1, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        AnimationUI a(kStrip);
        ASSERT_NE(a.box, nullptr);
        a.box->Play(c.mode);
        // 10 frames per second: frames change every 100 ms.
        a.ui.driver->RaiseFrameMove(150);
        EXPECT_EQ(a.DrawnFrameX(), 100);
        a.ui.driver->RaiseFrameMove(150);
        a.ui.driver->RaiseFrameMove(100);
        EXPECT_FALSE(a.box->IsPlaying());
        EXPECT_EQ(a.DrawnFrameX(), c.frameAfterEnd);
        EXPECT_EQ(a.Window()->IsVisible(), c.visibleAfterEnd);
        a.ui.driver->RaiseFrameMove(500);
        EXPECT_EQ(a.ended.count, c.endEvents);
        // Play starts over from the first frame.
        a.Window()->Show();
        a.box->Play(c.mode);
        a.ui.driver->RaiseFrameMove(10);
        EXPECT_EQ(a.DrawnFrameX(), 0);
    }
}

TEST(AnimationBox, PausedBoxesHoldTheirTimeAndLongRunsDoNotWrap)
{
    AnimationUI a(kStrip);
    ASSERT_NE(a.box, nullptr);
    a.box->Play(1);
    a.ui.driver->RaiseFrameMove(120);
    a.box->Pause();
    a.ui.driver->RaiseFrameMove(5000);
    EXPECT_EQ(a.DrawnFrameX(), 100);
    a.box->Resume();
    a.ui.driver->RaiseFrameMove(100);
    EXPECT_EQ(a.DrawnFrameX(), 200);

    // A looping box ticked for longer than a 32-bit millisecond count holds keeps cycling forward.
    AnimationUI loop(kStrip);
    loop.box->Play(0);
    for (int i = 0; i < 40; ++i)
        loop.ui.driver->RaiseFrameMove(INT32_MAX / 16);
    loop.ui.driver->RaiseFrameMove(0);
    EXPECT_GE(loop.DrawnFrameX(), 0);
    // Without "FramePerSecond" the rate is 0 and the box stays on its first frame.
    AnimationUI still(L"<AnimationBox Name=\"a\" FrameCount=\"3\"><Image Tag=\"Smart\" Filename=\"strip.bmp\"/></AnimationBox>");
    still.ui.driver->RaiseFrameMove(10000);
    EXPECT_EQ(still.DrawnFrameX(), 0);
}

// Three frames at 10 a second, ticked every 50 ms for 1.2 s: four passes,
// each on its last frame for two ticks.
TEST(AnimationBox, ALoopReportsEachPassOnceOnlyWhenPlayedAndKeepsPlaying)
{
    struct Case
    {
        const char* what;
        const wchar_t* description;
        bool played;
        int endEvents;
    };
    const wchar_t kOneFrame[] = L"<AnimationBox Name=\"a\" FrameCount=\"1\" FramePerSecond=\"10\">"
                                L"<Image Tag=\"Smart\" Filename=\"strip.bmp\"/></AnimationBox>";
    const Case cases[] = {
        {"played", kStrip, true, 4},
        {"never played", kStrip, false, 0},
        // One frame is always the last: each tenth of a second is a pass.
        {"one frame, played", kOneFrame, true, 13},
        {"one frame, never played", kOneFrame, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnimationUI a(c.description);
        ASSERT_NE(a.box, nullptr);
        if (c.played)
            a.box->Play(ANIMATION_MODE_LOOP);
        for (int tick = 0; tick < 24; ++tick)
            a.ui.driver->RaiseFrameMove(50);
        EXPECT_EQ(a.ended.count, c.endEvents);
        EXPECT_EQ(a.box->IsPlaying(), c.played);
        EXPECT_EQ(a.box->IsRunning(), c.played);
    }
}

// Ticks coarser than a frame may step over a pass's last frame: each pass is
// still reported once. Three frames at 10 a second end a pass every 300 ms;
// twelve ticks of 250 ms land on frames 2, 5, 7, 10, 12, ... 30.
TEST(AnimationBox, ALoopReportsAPassWhoseLastFrameATickSteppedOver)
{
    AnimationUI a(kStrip);
    ASSERT_NE(a.box, nullptr);
    a.box->Play(ANIMATION_MODE_LOOP);
    std::vector<int> reports;
    for (int tick = 0; tick < 12; ++tick) {
        const int before = a.ended.count;
        a.ui.driver->RaiseFrameMove(250);
        reports.push_back(a.ended.count - before);
    }
    // Passes 0 to 9 end; the third and the ninth tick end none.
    EXPECT_EQ(reports, (std::vector<int>{1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1}));
}
