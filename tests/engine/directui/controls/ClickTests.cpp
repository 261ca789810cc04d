#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/services/IBuryPointHelper.h"

using namespace ControlTest;

namespace {

// Both clickable controls run one press-and-release road.
struct tagClickable
{
    const wchar_t* type;
    const wchar_t* clickLine;
};
const tagClickable kClickables[] = {{L"Button", L"UI Event: Button <Root.b> Clicked"},
                                    {L"CheckBox", L"UI Event: CheckBox <Root.b> Clicked"}};

struct ClickableUI
{
    RecordedUI ui;
    IUIWindow* control;
    EventCounter clicks;

    explicit ClickableUI(const wchar_t* type) : control(ui.Add(ui.Root(), L"b", 10, 10, 50, 20, type))
    {
        clicks.Watch(control, 16);
    }
};

} // namespace

TEST(ClickSequence, OnlyAPressAndReleaseOnTheControlClickOnceCountedAndLogged)
{
    struct Row
    {
        const char* name;
        bool press;
        int pressX, pressY, releaseX, releaseY;
        bool disabled, suppressed;
        int clicks;
    };
    const Row rows[] = {
        {"inside, inside", true, 20, 20, 40, 25, false, false, 1},
        {"far edges count as inside", true, 60, 30, 10, 10, false, false, 1},
        {"inside, outside", true, 20, 20, 200, 200, false, false, 0},
        {"outside, inside", true, 200, 200, 20, 20, false, false, 0},
        {"release without a press", false, 0, 0, 20, 20, false, false, 0},
        {"suppressed", true, 20, 20, 40, 25, false, true, 0},
        {"disabled", true, 20, 20, 40, 25, true, false, 0},
    };
    for (const tagClickable& clickable : kClickables) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (clickable.type[0] == L'B' ? " (button)" : " (check box)"));
            ClickableUI setup(clickable.type);
            RVTest::LogCapture log;
            const uint32_t hitsBefore = ClickHits(L"Root.b");
            if (row.disabled)
                setup.control->Disable();
            setup.ui.ui->SetClickSuppressed(row.suppressed);
            if (row.press) {
                setup.ui.driver->RaiseLButtonDown(row.pressX, row.pressY);
                const bool pressedOnControl = !row.disabled && row.pressX < 100;
                EXPECT_EQ(setup.ui.ui->GetCaptureWindow(), pressedOnControl ? setup.control : nullptr);
            }
            setup.ui.driver->RaiseLButtonUp(row.releaseX, row.releaseY);
            EXPECT_EQ(setup.clicks.count, row.clicks);
            EXPECT_EQ(ClickHits(L"Root.b") - hitsBefore, static_cast<uint32_t>(row.clicks));
            EXPECT_EQ(log.CountContaining(clickable.clickLine), row.clicks);
            EXPECT_EQ(setup.ui.ui->GetCaptureWindow(), nullptr);
        }
    }
}

TEST(ClickSequence, ASyntheticReleaseEndsThePressAndDropsOnlyACaptureTheControlHolds)
{
    // A button takes only the release that clicks it, a check box every one.
    struct Row
    {
        const wchar_t* type;
        bool panelHoldsCapture;
        int x, y;
        const char* captureAfter;
        bool taken;
    };
    const Row rows[] = {
        {L"Button", false, -10000, -10000, "control", false}, {L"Button", false, -10000, 15, "control", false},
        {L"Button", false, 15, -10000, "control", false},     {L"CheckBox", false, -10000, -10000, "none", true},
        {L"Button", true, -10000, -10000, "panel", false},    {L"CheckBox", true, -10000, -10000, "panel", true},
        {L"CheckBox", true, 20, 20, "panel", true},           {L"Button", true, 20, 20, "panel", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.type[0] == L'B' ? "button" : "check box") << " at " << row.x << ","
                                        << row.y << (row.panelHoldsCapture ? ", panel holds the capture" : ""));
        ClickableUI setup(row.type);
        IUIWindow* panel = setup.ui.Add(setup.ui.Root(), L"panel", 0, 100, 100, 100, L"Panel");
        bool untaken = true;
        Window(setup.control)->OnLButtonDown(20, 20, &untaken);
        if (row.panelHoldsCapture)
            setup.ui.ui->SetCapture(panel);
        untaken = true;
        Window(setup.control)->OnLButtonUp(row.x, row.y, &untaken);
        EXPECT_EQ(!untaken, row.taken);
        IUIWindow* expected = std::string(row.captureAfter) == "control" ? setup.control
                              : std::string(row.captureAfter) == "panel" ? panel
                                                                         : nullptr;
        EXPECT_EQ(setup.ui.ui->GetCaptureWindow(), expected);
        // The press has ended: a later release on the control is no click.
        Window(setup.control)->OnLButtonUp(20, 20, &untaken);
        EXPECT_EQ(setup.clicks.count, row.x == 20 ? 1 : 0);
    }
}

// A suppressed click raises nothing, but its release is still the control's:
// the windows behind never see the end of a press they did not get.
TEST(ClickSequence, ASuppressedClickStillTakesItsRelease)
{
    for (const tagClickable& clickable : kClickables) {
        for (bool suppressed : {false, true}) {
            SCOPED_TRACE(testing::Message() << (clickable.type[0] == L'B' ? "button" : "check box")
                                            << (suppressed ? ", suppressed" : ""));
            ClickableUI setup(clickable.type);
            bool untaken = true;
            Window(setup.control)->OnLButtonDown(20, 20, &untaken);
            EXPECT_FALSE(untaken);
            setup.ui.ui->SetClickSuppressed(suppressed);
            untaken = true;
            Window(setup.control)->OnLButtonUp(25, 25, &untaken);
            EXPECT_FALSE(untaken);
            EXPECT_EQ(setup.clicks.count, suppressed ? 0 : 1);
            EXPECT_EQ(setup.ui.ui->GetCaptureWindow(), nullptr);
        }
    }
}

TEST(ClickSequence, EveryReleaseReachingTheControlRecordsItsBuryPointWhenEnabled)
{
    IBuryPointHelper* buryPoints = IBuryPointHelper_GetInstance();
    for (const tagClickable& clickable : kClickables) {
        for (bool enabled : {true, false}) {
            ClickableUI setup(clickable.type);
            setup.control->SetUserRect(7, 3, 0, 0);
            buryPoints->SetOptions(true, 1);
            buryPoints->Record(0, 0, 0, 0); // closes a stay an earlier test left open
            buryPoints->SetOptions(enabled, 1);
            setup.ui.driver->RaiseLButtonDown(20, 20);
            setup.ui.driver->RaiseLButtonUp(200, 200);
            buryPoints->Record(9, 9, 0, 0); // closes the control's stay, if it opened one
            const std::vector<tagBuryPointRecord> records = buryPoints->GetRecords();
            ASSERT_EQ(records.size(), 1u);
            EXPECT_EQ(records[0].PointId, enabled ? 7 : 9) << (enabled ? "enabled" : "disabled");
            buryPoints->SetOptions(false, 0);
            buryPoints->Record(0, 0, 0, 0);
        }
    }
}

TEST(CheckBoxClick, AnAutoCheckBoxTogglesBeforeItLogsAndRaisesItsEvent)
{
    for (bool autoCheck : {true, false}) {
        RecordedUI ui;
        ICheckBox* box = dynamic_cast<ICheckBox*>(ui.Add(ui.Root(), L"box", 0, 0, 20, 20, L"CheckBox"));
        box->SetAutoCheck(autoCheck);
        struct Probe
        {
            ICheckBox* box;
            std::string seen;
            void On(void* sender, tagEventArgs*)
            {
                EXPECT_EQ(sender, box);
                seen += box->IsChecked() ? 'C' : 'u';
            }
        } probe{box, ""};
        box->AddMemberFunctionDelegate(kCheckBoxClickedEvent, &probe, &Probe::On);
        RVTest::LogCapture log;
        for (int click = 0; click < 3; ++click) {
            ui.driver->RaiseLButtonDown(5, 5);
            ui.driver->RaiseLButtonUp(5, 5);
        }
        EXPECT_EQ(probe.seen, autoCheck ? "CuC" : "uuu");
        const std::wstring line = L"UI Event: CheckBox <Root.box> ";
        const std::vector<std::wstring> expected =
            autoCheck ? std::vector<std::wstring>{line + L"Checked", line + L"Unchecked", line + L"Checked"}
                      : std::vector<std::wstring>(3, line + L"Clicked");
        EXPECT_EQ(log.Messages(), expected);
    }
}
