#include "engine/directui/controls/ITrackBar.h"
#include "tests/engine/directui/picturecontrols/PictureControlSupport.h"

using namespace UITest;

namespace {

// A 200 x 10 track at the origin with a 20-pixel thumb, a track picture as
// long as the track and one thumb picture per state (distinguished by the
// window's tint only: the pictures are the same file).
struct TrackUI
{
    PictureFolder pictures;
    RecordedUI ui;
    ITrackBar* bar = nullptr;
    EventCounter scrolled;

    explicit TrackUI(const wchar_t* attributes = L"Process=\"0.5\"", const wchar_t* thumb = L"thumb.bmp")
    {
        const std::wstring description =
            L"<TrackBar Name=\"t\" Width=\"200\" Height=\"10\" " + std::wstring(attributes) +
            L"><Image Tag=\"Background\" Filename=\"wide.bmp\"/><Image Tag=\"Bar_Up\" Filename=\"" + thumb +
            L"\"/><Image Tag=\"Bar_Down\" Filename=\"thumb.bmp\" X=\"0\" Y=\"0\" Width=\"19\" Height=\"10\"/>"
            L"<Image Tag=\"Bar_Hover\" Filename=\"thumb.bmp\" X=\"0\" Y=\"0\" Width=\"18\" Height=\"10\"/>"
            L"<Image Tag=\"Bar_Disabled\" Filename=\"thumb.bmp\" X=\"0\" Y=\"0\" Width=\"17\" Height=\"10\"/></TrackBar>";
        ui.Load(description.c_str());
        bar = dynamic_cast<ITrackBar*>(ui.Root()->FindWindow(L"t"));
        if (bar != nullptr)
            bar->AddMemberFunctionDelegate(kTrackBarScrolledEvent, &scrolled, &EventCounter::On);
    }
};

} // namespace

TEST(TrackBar, TheTrackFillsToTheThumbsCentreAndEachStateHasItsThumb)
{
    TrackUI track;
    ASSERT_NE(track.bar, nullptr);
    // Offset (200 - 20) * 0.5 = 90; the fill ends at the thumb's centre, 100.
    EXPECT_EQ(Paint(track.ui), (Lines{"0,0,100,10<-0,0,100,10", "90,0,20,10<-0,0,20,10"}));
    // Hover: the hover thumb (18 wide) is placed by its own width.
    track.ui.driver->RaiseMouseMove(95, 5);
    EXPECT_EQ(Paint(track.ui).back(), "91,0,18,10<-0,0,18,10");
    track.ui.driver->RaiseLButtonDown(95, 5);
    EXPECT_EQ(Paint(track.ui).back(), "90,0,19,10<-0,0,19,10");
    track.ui.driver->RaiseLButtonUp(95, 5);
    track.ui.Root()->FindWindow(L"t")->Disable();
    EXPECT_EQ(Paint(track.ui).back(), "91,0,17,10<-0,0,17,10");
}

TEST(TrackBar, DraggingMovesThePositionAndFiresOnEveryStepWithinTheEnds)
{
    struct Step
    {
        int x;
        float position;
    };
    TrackUI track;
    ASSERT_NE(track.bar, nullptr);
    track.ui.driver->RaiseLButtonDown(95, 5);
    ASSERT_EQ(track.ui.driver->Count("capture"), 1);
    const Step steps[] = {{125, 120.0f / 180.0f}, {125, 120.0f / 180.0f}, {400, 1.0f}, {500, 1.0f}, {-300, 0.0f}};
    int fired = 0;
    for (const Step& step : steps) {
        track.ui.driver->RaiseMouseMove(step.x, 5);
        EXPECT_FLOAT_EQ(track.bar->GetPosition(), step.position);
        EXPECT_EQ(track.scrolled.count, ++fired);
    }
    track.ui.driver->RaiseLButtonUp(0, 5);
    track.ui.driver->RaiseMouseMove(100, 5);
    EXPECT_EQ(track.scrolled.count, fired);
}

TEST(TrackBar, PressesThatMustNotMoveTheThumb)
{
    struct Case
    {
        const wchar_t* attributes;
        bool disable;
        int pressX;
    };
    const Case cases[] = {
        {L"Process=\"0.5\"", false, 20},                       // beside the thumb: no jump, no paging
        {L"Process=\"0.5\" Draggable=\"false\"", false, 95},  // fixed thumb
        {L"Process=\"0.5\" Draggable=\"TRUE\"", false, 95},   // only "true" is true
        {L"Process=\"0.5\"", true, 95},                       // disabled
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        TrackUI track(c.attributes);
        ASSERT_NE(track.bar, nullptr);
        if (c.disable)
            track.ui.Root()->FindWindow(L"t")->Disable();
        track.ui.driver->RaiseLButtonDown(c.pressX, 5);
        track.ui.driver->RaiseMouseMove(c.pressX + 40, 5);
        EXPECT_FLOAT_EQ(track.bar->GetPosition(), 0.5f);
        EXPECT_EQ(track.scrolled.count, 0);
    }
}

TEST(TrackBar, PositionsAreLimitedAndAThumbWithNoRoomToTravelStaysDefined)
{
    TrackUI track;
    ASSERT_NE(track.bar, nullptr);
    track.ui.driver->calls.clear();
    track.bar->SetPosition(1.5f);
    EXPECT_EQ(track.bar->GetPosition(), 1.0f);
    const int repaints = track.ui.driver->Count("invalidate");
    EXPECT_GE(repaints, 1);
    track.bar->SetPosition(1.5f);
    EXPECT_EQ(track.ui.driver->Count("invalidate"), repaints);
    track.bar->SetPosition(-3.0f);
    EXPECT_EQ(track.bar->GetPosition(), 0.0f);

    TrackUI full(L"Process=\"0\"", L"wide.bmp");
    ASSERT_NE(full.bar, nullptr);
    full.ui.driver->RaiseLButtonDown(100, 5);
    full.ui.driver->RaiseMouseMove(150, 5);
    EXPECT_EQ(full.bar->GetPosition(), 0.0f);
    EXPECT_EQ(full.scrolled.count, 1);
}

// "Process" from a description is kept within the track whatever it says.
TEST(TrackBar, ADescribedProcessOutsideTheTrackIsLimitedToItsEnds)
{
    struct Row
    {
        const wchar_t* process;
        float position;
        const char* thumb;
    };
    const Row rows[] = {
        {L"0.25", 0.25f, "45,0,20,10<-0,0,20,10"}, {L"1.5", 1.0f, "180,0,20,10<-0,0,20,10"},
        {L"-0.5", 0.0f, "0,0,20,10<-0,0,20,10"},   {L"1e300", 1.0f, "180,0,20,10<-0,0,20,10"},
        {L"-1e300", 0.0f, "0,0,20,10<-0,0,20,10"}, {L"nan", 0.0f, "0,0,20,10<-0,0,20,10"},
        {L"x", 0.0f, "0,0,20,10<-0,0,20,10"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.process, row.process + wcslen(row.process)));
        TrackUI track((L"Process=\"" + std::wstring(row.process) + L"\"").c_str());
        ASSERT_NE(track.bar, nullptr);
        EXPECT_EQ(track.bar->GetPosition(), row.position);
        EXPECT_EQ(Paint(track.ui).back(), row.thumb);
    }
}
