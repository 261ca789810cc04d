#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/CScrollBar.h"
#include "engine/directui/controls/IHScrollBar.h"
#include "tests/support/MessageBoxRecorder.h"

using namespace ControlTest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

constexpr int kThickness = 20;

// A bar 20 thick and 220 long (a track of 180) over the root, with a window
// behind it that logs the presses it sees.
struct BarUI
{
    SkinFolder skin;
    RecordedUI ui;
    EventLog behindLog;
    EventCounter scrolled;
    IUIWindow* bar = nullptr;
    bool horizontal;

    explicit BarUI(bool horizontalBar, int barUpLength = 3 * kThickness + 4) : horizontal(horizontalBar)
    {
        const int t = kThickness;
        skin.Solid(L"back.bmp", horizontal ? 2 : t, horizontal ? t : 2);
        skin.Solid(L"arrow.bmp", 4 * t, t);
        // Four thumb frames side by side, each 3t + 4 along the bar.
        skin.Solid(L"thumb.bmp", horizontal ? 4 * barUpLength : 4 * t, horizontal ? t : barUpLength);
        behindLog.Watch(ui.Add(ui.Root(), L"behind", 0, 0, 400, 300), {WINDOW_EVENT_LBUTTON_DOWN});
        const std::wstring frame = horizontal ? L"Width=\"" + std::to_wstring(barUpLength) + L"\" Height=\"20\""
                                              : L"Width=\"20\" Height=\"" + std::to_wstring(barUpLength) + L"\"";
        const std::wstring first = horizontal ? L"Left" : L"Up", second = horizontal ? L"Right" : L"Down";
        ui.Load((std::wstring(L"<") + (horizontal ? L"HScrollBar" : L"ScrollBar") + L" Name=\"bar\" " +
                 (horizontal ? L"Width=\"220\" Height=\"20\">" : L"Width=\"20\" Height=\"220\">") +
                 L"<Image Tag=\"Back\" Filename=\"back.bmp\"/>"
                 L"<Image Tag=\"" + first + L"_Up\" Filename=\"arrow.bmp\" X=\"0\" Y=\"0\" Width=\"20\" Height=\"20\"/>"
                 L"<Image Tag=\"" + second + L"_Up\" Filename=\"arrow.bmp\" X=\"0\" Y=\"0\" Width=\"20\" Height=\"20\"/>"
                 L"<Image Tag=\"Bar_Up\" Filename=\"thumb.bmp\" X=\"0\" Y=\"0\" " + frame + L"/></" +
                 (horizontal ? L"HScrollBar" : L"ScrollBar") + L">")
                    .c_str());
        bar = ui.Root()->FindWindow(L"bar");
        scrolled.Watch(bar, 16);
        behindLog.lines.clear();
    }

    // Runs the action on the bar through its own interface.
    template <typename Action>
    auto Call(Action action)
    {
        if (IHScrollBar* h = dynamic_cast<IHScrollBar*>(bar))
            return action(h);
        return action(dynamic_cast<IScrollBar*>(bar));
    }
    void Set(int range, int page, int step, int position)
    {
        Call([&](auto* b) {
            b->SetRange(range);
            b->SetPage(page);
            b->SetStep(step);
            b->SetPosition(position);
        });
    }
    int Position() { return Call([](auto* b) { return b->GetPosition(); }); }
    bool Dragging() { return Call([](auto* b) { return b->IsDragging(); }); }
    // The point `along` the bar, halfway across it.
    int X(int along) const { return horizontal ? along : kThickness / 2; }
    int Y(int along) const { return horizontal ? kThickness / 2 : along; }

    // Paints the bar and reads the thumb's start and length along it from its
    // end caps: the slices cut from the frame's first and last 20 lines.
    std::pair<int, int> PaintedThumb()
    {
        ui.driver->calls.clear();
        ui.driver->RaisePaint();
        const int lastCap = 3 * kThickness + 4 - kThickness;
        int start = -1, end = -1;
        for (const std::string& line : ui.driver->Starting("image")) {
            int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0, sw = 0, sh = 0;
            sscanf(line.c_str(), "image %d,%d,%d,%d from %d,%d,%d,%d", &x, &y, &w, &h, &sx, &sy, &sw, &sh);
            // A slice without room must not be drawn mirrored.
            EXPECT_GT(w, 0) << line;
            EXPECT_GT(h, 0) << line;
            const int along = horizontal ? x : y, from = horizontal ? sx : sy;
            if (w != kThickness || h != kThickness || sw != kThickness || sh != kThickness)
                continue;
            // The arrows draw the same square at both ends of the bar, after the thumb.
            if (from == 0 && start < 0 && along >= kThickness)
                start = along;
            if (from == lastCap)
                end = along + kThickness;
        }
        return {start, end - start};
    }
};

} // namespace

TEST(ScrollBarThumb, LengthAndPlaceFollowRangePageAndPosition)
{
    struct Row
    {
        int range, page, position;
        int start, length;
    };
    const Row rows[] = {
        {1000, 100, 450, 80, 60}, {1000, 100, 0, 20, 60},   {1000, 100, 900, 140, 60}, {1000, 100, 5000, 140, 60},
        {0, 100, 0, 20, 180},     {1000, 0, 0, 20, 180},    {100, 100, 0, 20, 180},    {100, 200, 50, 20, 180},
        {1000, 500, 250, 65, 90}, {1000, 500, -7, 20, 90},
    };
    for (bool horizontal : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << (horizontal ? "horizontal " : "vertical ") << row.range << "/"
                                            << row.page << " at " << row.position);
            BarUI bar(horizontal);
            bar.Set(row.range, row.page, 10, row.position);
            EXPECT_EQ(bar.PaintedThumb(), std::make_pair(row.start, row.length));
            EXPECT_EQ(bar.scrolled.count, 0);
        }
    }
}

TEST(ScrollBarSteps, ArrowsTrackAndWheelStepThePositionAndRaiseScrolled)
{
    enum enmAction { UP_ARROW, DOWN_ARROW, TRACK_BEFORE, TRACK_AFTER, THUMB, WHEEL_AWAY, WHEEL_TOWARDS };
    struct Row
    {
        const char* name;
        int range, page, step, position;
        enmAction action;
        int scrolled, endPosition;
        bool behindSeesPress;
    };
    const Row rows[] = {
        {"page forward", 1000, 100, 30, 0, TRACK_AFTER, 3, 90, true},
        {"page back", 1000, 100, 30, 450, TRACK_BEFORE, 3, 360, true},
        {"page with step 0", 1000, 100, 0, 450, TRACK_AFTER, 0, 450, true},
        {"page back stops at 0", 1000, 100, 40, 50, TRACK_BEFORE, 2, 0, true},
        {"line forward", 1000, 100, 30, 100, DOWN_ARROW, 1, 130, false},
        {"line forward at the end", 1000, 100, 30, 900, DOWN_ARROW, 1, 900, false},
        {"line forward, page covers range", 100, 100, 30, 0, DOWN_ARROW, 0, 0, false},
        {"line back, page covers range", 100, 100, 30, 0, UP_ARROW, 1, 0, false},
        {"line back", 1000, 100, 30, 100, UP_ARROW, 1, 70, false},
        {"thumb press", 1000, 100, 30, 0, THUMB, 0, 0, false},
        {"wheel away", 1000, 100, 30, 100, WHEEL_AWAY, 2, 40, false},
        {"wheel towards", 1000, 100, 30, 100, WHEEL_TOWARDS, 3, 190, false},
    };
    for (bool horizontal : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << (horizontal ? "horizontal: " : "vertical: ") << row.name);
            BarUI bar(horizontal);
            bar.Set(row.range, row.page, row.step, row.position);
            const std::pair<int, int> thumb = bar.PaintedThumb();
            int along = 0;
            switch (row.action) {
            case UP_ARROW: along = 10; break;
            case DOWN_ARROW: along = 210; break;
            case TRACK_BEFORE: along = thumb.first - 1; break;
            case TRACK_AFTER: along = thumb.first + thumb.second + 1; break;
            case THUMB: along = thumb.first + 5; break;
            default: break;
            }
            if (row.action == WHEEL_AWAY || row.action == WHEEL_TOWARDS) {
                bar.ui.driver->RaiseMouseMove(bar.X(100), bar.Y(100));
                bar.ui.driver->RaiseMouseWheel(row.action == WHEEL_AWAY ? 2 : -3);
            } else {
                bar.ui.driver->RaiseLButtonDown(bar.X(along), bar.Y(along));
                bar.ui.driver->RaiseLButtonUp(bar.X(along), bar.Y(along));
            }
            EXPECT_EQ(bar.scrolled.count, row.scrolled);
            EXPECT_EQ(bar.Position(), row.endPosition);
            EXPECT_EQ(!bar.behindLog.lines.empty(), row.behindSeesPress);
        }
    }
}

TEST(ScrollBarDrag, TheThumbCarriesThePositionWithinTheRange)
{
    struct Row
    {
        int range, page;
        std::vector<int> moves;
        std::vector<int> positions;
        int scrolled;
    };
    const Row rows[] = {
        {1000, 100, {90, 90, 1000, -500, 31}, {450, 450, 900, 0, 7}, 4},
        {0, 100, {90, 150}, {0, 0}, 0},
        {100, 100, {90}, {0}, 0},
    };
    for (bool horizontal : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << (horizontal ? "horizontal " : "vertical ") << row.range << "/"
                                            << row.page);
            BarUI bar(horizontal);
            bar.Set(row.range, row.page, 10, 0);
            bar.ui.driver->RaiseLButtonDown(bar.X(30), bar.Y(30));
            EXPECT_TRUE(bar.Dragging());
            EXPECT_EQ(bar.ui.ui->GetCaptureWindow(), bar.bar);
            std::vector<int> positions;
            for (int along : row.moves) {
                bar.ui.driver->RaiseMouseMove(bar.X(along), bar.Y(along));
                positions.push_back(bar.Position());
            }
            EXPECT_EQ(positions, row.positions);
            EXPECT_EQ(bar.scrolled.count, row.scrolled);
            // Released away from the thumb: the drag ends, the release is left to others.
            bool untaken = true;
            Window(bar.bar)->OnLButtonUp(bar.X(215), bar.Y(215), &untaken);
            EXPECT_TRUE(untaken);
            EXPECT_FALSE(bar.Dragging());
        }
    }
}

TEST(ScrollBarSkin, AWronglySizedSkinWarnsOnceThroughTheEngineAndIsStillUsed)
{
    const std::wstring warning = L"\u6EDA\u52A8\u6761:'bar'\u5C3A\u5BF8\u4E0D\u6B63\u786E.";
    struct Row
    {
        bool horizontal;
        int barUpLength;
        size_t warnings;
    };
    const Row rows[] = {{false, 64, 0}, {true, 64, 0}, {false, 70, 1}, {true, 60, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.horizontal ? "horizontal " : "vertical ") << row.barUpLength);
        RVTest::MessageBoxRecorder::Clear();
        BarUI bar(row.horizontal, row.barUpLength);
        const std::vector<RVTest::RecordedMessageBox> boxes = RVTest::MessageBoxRecorder::Taken();
        ASSERT_EQ(boxes.size(), row.warnings);
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].text, warning);
            EXPECT_EQ(boxes[0].caption, L"Warning");
        }
        // Two arrow buttons at the ends, whatever the skin.
        ASSERT_EQ(bar.bar->GetChildCount(), 2);
        EXPECT_EQ(bar.bar->GetChild(1)->GetX() + bar.bar->GetChild(1)->GetY(), 200);
        bar.bar->SetRect(0, 0, row.horizontal ? 300 : 20, row.horizontal ? 20 : 300);
        EXPECT_EQ(bar.bar->GetChild(1)->GetX() + bar.bar->GetChild(1)->GetY(), 280);
    }
    // Outside a UI system there is nothing to make the arrows with.
    TIntrusivePointer<CScrollBar> loose(new CScrollBar());
    loose->CreateButtons();
    EXPECT_EQ(loose->GetChildCount(), 0);
}

TEST(ScrollBarSteps, AScrolledHandlerMayRemoveTheBarUnderAnArrowClick)
{
    for (bool horizontal : {false, true}) {
        BarUI bar(horizontal);
        bar.Set(1000, 100, 30, 0);
        struct Remover
        {
            IUIWindow* root;
            IUIWindow* target;
            void On(void*, tagEventArgs*) { root->RemoveWindow(target); }
        } remover{bar.ui.Root(), bar.bar};
        bar.bar->AddMemberFunctionDelegate(16, &remover, &Remover::On);
        bar.ui.driver->RaiseLButtonDown(bar.X(210), bar.Y(210));
        bar.ui.driver->RaiseLButtonUp(bar.X(210), bar.Y(210));
        EXPECT_EQ(bar.ui.Root()->FindWindow(L"bar"), nullptr);
    }
}
