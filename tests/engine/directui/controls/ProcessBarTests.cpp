#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/CProcessBar.h"

#include <limits>

using namespace ControlTest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();
} // namespace

// Drawn unscaled (as many source pixels as shown ones), and nothing else: no
// title, no children.
TEST(ProcessBar, ShowsTheFractionOfItsImageUnscaledAndNeverBeyondItsWidth)
{
    struct Row
    {
        const wchar_t* process; // the description's value, or null to call SetProgress
        float set;
        float stored;
        int shownWidth;
    };
    const Row rows[] = {
        {nullptr, 0.5f, 0.5f, 150},    {nullptr, 0.999f, 0.999f, 299}, {nullptr, 1.0f, 1.0f, 300},
        {nullptr, 1.5f, 1.0f, 300},    {nullptr, -0.2f, 0.0f, 0},      {nullptr, kNotANumber, 0.0f, 0},
        {L"0.25", 0.0f, 0.25f, 75},    {L"2.5", 0.0f, 2.5f, 300},      {L"-1", 0.0f, -1.0f, 0},
        {L"nan", 0.0f, kNotANumber, 0}, {L"", 0.0f, 0.0f, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        SkinFolder skin;
        skin.Solid(L"bar.bmp", 400, 20);
        RecordedUI ui;
        ui.Load((std::wstring(L"<ProcessBar Name=\"bar\" X=\"10\" Y=\"5\" Width=\"300\" Height=\"20\"") +
                 (row.process ? std::wstring(L" Process=\"") + row.process + L"\"" : L"") +
                 L" Title=\"42%\"><Image Tag=\"Background\" Filename=\"bar.bmp\"/><Label Title=\"x\"/></ProcessBar>")
                    .c_str());
        IProcessBar* bar = Find<IProcessBar>(ui.ui.Get(), L"bar");
        ASSERT_NE(bar, nullptr);
        if (row.process == nullptr)
            bar->SetProgress(row.set);
        if (std::isnan(row.stored))
            EXPECT_TRUE(std::isnan(bar->GetProgress()));
        else
            EXPECT_EQ(bar->GetProgress(), row.stored);
        ui.driver->calls.clear();
        ui.driver->RaisePaint();
        const Lines expected = row.shownWidth == 0
                                   ? Lines{}
                                   : Lines{"image 10,5," + std::to_string(row.shownWidth) + ",20 from 0,0," +
                                           std::to_string(row.shownWidth) + ",20 tint 255,255,255,255"};
        EXPECT_EQ(ui.driver->Starting("image"), expected);
        EXPECT_EQ(ui.driver->Count("text"), 0);
    }
}
