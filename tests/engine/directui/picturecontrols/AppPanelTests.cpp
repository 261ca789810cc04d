#include "engine/directui/controls/CAppPanel.h"
#include "tests/engine/directui/picturecontrols/PictureControlSupport.h"
#include "tests/support/MessageBoxRecorder.h"

using namespace UITest;

namespace {

int32_t g_now = 0;
int32_t Now() { return g_now; }

// A child that takes presses inside it and counts clicks: a release inside
// after its own press. Every release it gets is written down.
class PressableWindow : public CUIWindow
{
public:
    int clicks = 0;
    std::vector<std::pair<int, int>> releases;

    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!HitTest(x, y))
            return;
        m_pressed = true;
        CaptureMouse();
        *continueRouting = false;
    }
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override
    {
        releases.emplace_back(x, y);
        if (m_pressed && HitTest(x, y)) {
            ++clicks;
            *continueRouting = false;
        }
        m_pressed = false;
    }

private:
    bool m_pressed = false;
};

// Three pages of 400 pixels in a 400-pixel viewport, a pressable child on page 0.
struct PagedUI
{
    RecordedUI ui;
    IUIWindow* viewport = ui.Add(ui.Root(), L"viewport", 0, 0, 400, 100);
    IUIWindow* window = ui.Add(viewport, L"pages", 0, 0, 1200, 100, L"AppPanel");
    CAppPanel* panel = dynamic_cast<CAppPanel*>(window);
    TIntrusivePointer<PressableWindow> child{new PressableWindow()};
    EventCounter pageChanged;

    PagedUI()
    {
        g_now = 1000;
        panel->SetClock(&Now);
        window->AddChild(child.Get());
        child->SetRect(10, 10, 50, 50);
        panel->AddMemberFunctionDelegate(kAppPanelPageChangedEvent, &pageChanged, &EventCounter::On);
    }
    void Drag(int fromX, int fromY, int toX, int toY, int ms)
    {
        ui.driver->RaiseLButtonDown(fromX, fromY);
        ui.driver->RaiseMouseMove((fromX + toX) / 2, (fromY + toY) / 2);
        ui.driver->RaiseMouseMove(toX, toY);
        g_now += ms;
        ui.driver->RaiseLButtonUp(toX, toY);
    }
    // The panel's X after the animation has had `ms` milliseconds.
    int32_t XAfter(int ms)
    {
        g_now += ms;
        ui.driver->RaiseFrameMove(ms);
        return window->GetX();
    }
};

} // namespace

TEST(AppPanel, AReleaseFlicksOnePageOrSettlesOnTheNearest)
{
    struct Case
    {
        const char* what;
        int toX, toY, ms;
        int32_t halfway, settled;
    };
    const Case cases[] = {
        {"short quick flick left", 140, 50, 300, -230, -400},
        {"same flick too slow", 140, 50, 600, -30, 0},
        {"past half a page", -50, 50, 100, -325, -400},
        {"right on the first page", 260, 50, 100, 30, 0},
        {"vertical only", 200, 55, 100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PagedUI paged;
        ASSERT_NE(paged.panel, nullptr);
        paged.Drag(200, 50, c.toX, c.toY, c.ms);
        EXPECT_EQ(paged.XAfter(100), c.halfway);
        EXPECT_EQ(paged.XAfter(150), c.settled);
    }
}

TEST(AppPanel, AChildKeepsItsClickUntilTheDragStarts)
{
    PagedUI still;
    still.Drag(20, 20, 21, 20, 50);
    EXPECT_EQ(still.child->clicks, 1);
    EXPECT_EQ(still.XAfter(300), 0);

    PagedUI dragged;
    dragged.ui.driver->RaiseLButtonDown(20, 20);
    dragged.ui.driver->RaiseMouseMove(22, 20);
    EXPECT_EQ(dragged.window->GetX(), 2);
    ASSERT_FALSE(dragged.child->releases.empty());
    EXPECT_EQ(dragged.child->releases.front(), std::make_pair(-10000, -10000));
    dragged.ui.driver->RaiseLButtonUp(22, 20);
    EXPECT_EQ(dragged.child->clicks, 0);
}

// Once the press is over the panel holds the child that took it no longer:
// a child taken out of the tree afterwards goes at once.
TEST(AppPanel, TheReleaseLetsGoOfTheChildThatTookThePress)
{
    struct Row
    {
        const char* what;
        int toX;
    };
    for (const Row& row : {Row{"a click on the child", 21}, Row{"a drag started on the child", 120}}) {
        SCOPED_TRACE(row.what);
        PagedUI paged;
        const int32_t held = paged.child->GetReferenceCount();
        paged.Drag(20, 20, row.toX, 20, 50);
        EXPECT_EQ(paged.child->GetReferenceCount(), held);
        paged.window->RemoveWindow(paged.child.Get());
        EXPECT_EQ(paged.child->GetReferenceCount(), 1);
    }
}

// A control that takes the press and the mouse, as the editing and dragging
// controls do: the panel's drag takes the capture over and keeps it through
// the control's far-away release, so that the real release, wherever it
// lands, still ends the drag.
TEST(AppPanel, ADragStartedOnACapturingControlEndsWithTheRelease)
{
    for (const wchar_t* type : {L"EditBox", L"MultilineEditBox", L"HotKeyBox"}) {
        SCOPED_TRACE(std::string(type, type + wcslen(type)));
        PagedUI paged;
        paged.ui.Add(paged.window, L"control", 100, 10, 80, 30, type);
        paged.ui.driver->RaiseLButtonDown(120, 20);
        EXPECT_EQ(paged.ui.ui->GetCaptureWindow(), paged.window);
        paged.ui.driver->RaiseMouseMove(110, 20);
        EXPECT_EQ(paged.ui.ui->GetCaptureWindow(), paged.window);
        // Released below the viewport: only the capture brings it to the panel.
        paged.ui.driver->RaiseLButtonUp(100, 250);
        const int32_t settledX = paged.XAfter(300);
        EXPECT_EQ(settledX, 0);
        paged.ui.driver->RaiseMouseMove(300, 50);
        EXPECT_EQ(paged.XAfter(300), settledX);
        EXPECT_EQ(paged.ui.ui->GetCaptureWindow(), nullptr);
    }
}

TEST(AppPanel, PagesByInterfaceAndWheelStayInRangeAndReportChanges)
{
    PagedUI paged;
    IAppPanel* panel = paged.panel;
    EXPECT_EQ(panel->GetPageCount(), 3);
    panel->SetPage(3);
    panel->SetPage(-1);
    EXPECT_EQ(paged.window->GetX(), 0);
    panel->SetPage(2);
    EXPECT_EQ(paged.window->GetX(), -800);
    paged.XAfter(0);
    EXPECT_EQ(paged.pageChanged.count, 1);
    panel->ScrollToPage(7);
    EXPECT_EQ(paged.XAfter(300), -800);
    paged.ui.driver->RaiseMouseMove(200, 50);
    paged.ui.driver->RaiseMouseWheel(1);
    EXPECT_EQ(paged.XAfter(300), -400);
    EXPECT_EQ(panel->GetCurrentPage(), 1);
    // A tick reports the page it finds before it moves the panel on.
    EXPECT_EQ(paged.pageChanged.count, 1);
    paged.XAfter(0);
    EXPECT_EQ(paged.pageChanged.count, 2);
}

TEST(AppPanel, AWidthThatIsNoWholeNumberOfPagesWarnsOnceAndUsesThePagesThatFit)
{
    RVTest::MessageBoxRecorder::Install();
    RVTest::MessageBoxRecorder::Clear();
    RecordedUI ui;
    IUIWindow* viewport = ui.Add(ui.Root(), L"viewport", 0, 0, 400, 100);
    auto* panel = dynamic_cast<IAppPanel*>(ui.Add(viewport, L"pages", 0, 0, 1000, 100, L"AppPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetPageCount(), 2);
    panel->NextPage();
    ui.driver->RaiseFrameMove(10);
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"AppPanel's width must be times of its parent's width!");

    // Without a viewport there are no pages, and nothing divides by zero.
    TIntrusivePointer<IUIWindow> orphan(ui.ui->CreateControl(L"AppPanel"));
    auto* alone = dynamic_cast<IAppPanel*>(orphan.Get());
    EXPECT_EQ(alone->GetPageCount(), 0);
    alone->NextPage();
    EXPECT_EQ(alone->GetCurrentPage(), 0);
}

TEST(AppPanel, TheWheelTurnsNoPageOfAHiddenOrDisabledPanel)
{
    struct Row
    {
        const char* what;
        bool disabled, hidden;
        int32_t page;
    };
    const Row rows[] = {{"enabled", false, false, 1}, {"disabled", true, false, 0}, {"hidden", false, true, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PagedUI paged;
        paged.ui.driver->RaiseMouseMove(200, 50);
        if (row.disabled)
            paged.window->Disable();
        if (row.hidden)
            paged.window->Hide();
        // Straight to the panel, as a window forwarding its wheel would.
        dynamic_cast<CUIWindow*>(paged.window)->OnMouseWheel(-1);
        paged.XAfter(300);
        EXPECT_EQ(paged.panel->GetCurrentPage(), row.page);
    }
}
