#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/CClickSequence.h"

using namespace ControlTest;

// A control pressed at (20, 20) took the mouse; then another window (an app
// panel starting its drag) took it over, or not, and a release reaches the
// control. The control gives up the capture only while it holds it.
TEST(MouseCapture, EveryControlReleasesOnlyACaptureItHolds)
{
    const wchar_t* const types[] = {L"Button",   L"CheckBox",  L"EditBox", L"MultilineEditBox", L"HotKeyBox",
                                    L"TrackBar", L"ScrollBar", L"HScrollBar", L"Dialog"};
    struct Release
    {
        const char* what;
        bool otherHoldsCapture;
        int x, y;
        const char* captureAfter;
    };
    const Release releases[] = {
        {"far-away release, another holds the capture", true, CClickSequence::kFarAwayCoordinate,
         CClickSequence::kFarAwayCoordinate, "other"},
        {"release inside, another holds the capture", true, 20, 20, "other"},
        {"release outside, another holds the capture", true, 300, 250, "other"},
        {"release inside, the control holds the capture", false, 20, 20, "none"},
    };
    for (const wchar_t* type : types) {
        for (const Release& release : releases) {
            SCOPED_TRACE(testing::Message() << std::string(type, type + wcslen(type)) << ": " << release.what);
            RecordedUI ui;
            IUIWindow* control = ui.Add(ui.Root(), L"c", 10, 10, 50, 50, type);
            IUIWindow* other = ui.Add(ui.Root(), L"other", 0, 200, 100, 50, L"Panel");
            ASSERT_NE(Window(control), nullptr);
            bool untaken = true;
            Window(control)->OnLButtonDown(20, 20, &untaken);
            ui.ui->SetCapture(release.otherHoldsCapture ? other : control);
            untaken = true;
            Window(control)->OnLButtonUp(release.x, release.y, &untaken);
            const std::string after = release.captureAfter;
            EXPECT_EQ(ui.ui->GetCaptureWindow(), after == "other" ? other : nullptr);
        }
    }
}
