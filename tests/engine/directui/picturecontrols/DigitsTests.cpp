#include "engine/directui/controls/IDigits.h"
#include "tests/engine/directui/picturecontrols/PictureControlSupport.h"

#include <climits>

using namespace UITest;

namespace {

constexpr int32_t kFromDescription = -100;

struct DigitsCase
{
    int32_t number;
    const wchar_t* format; // null: the default
    float ratio;
    const wchar_t* align;
    int32_t width; // measured
    Lines drawn;
    int32_t alignCode = kFromDescription; // set through SetTitleAlign when given
};

} // namespace

// Window at 10,20, 100 x 30; cells 20 x 10; plus 8 wide, minus 6 wide.
TEST(Digits, NumbersDrawFromTheirCellsWithSignsStepsFormatsAndAlignment)
{
    PictureFolder pictures;
    const DigitsCase cases[] = {
        // Zero has no sign even with both pictures set.
        {0, nullptr, 0.75f, L"TopLeft", 20, {"10,20,20,10<-0,0,20,10"}},
        {-42, nullptr, 0.75f, L"TopLeft", 41, {"10,20,6,10<-0,0,6,10", "16,20,20,10<-80,0,20,10", "31,20,20,10<-40,0,20,10"}},
        {7, L"%03d", 1.0f, L"TopLeft", 68, {"10,20,8,10<-0,0,8,10", "18,20,20,10<-0,0,20,10", "38,20,20,10<-0,0,20,10",
                                            "58,20,20,10<-140,0,20,10"}},
        // A sign written by the format has no cell: it keeps its place but draws nothing.
        {5, L"%+d", 0.75f, L"TopLeft", 43, {"10,20,8,10<-0,0,8,10", "33,20,20,10<-100,0,20,10"}},
        // A format that is not one integer field falls back to plain digits.
        {12, L"%s%n", 0.75f, L"TopLeft", 43, {"10,20,8,10<-0,0,8,10", "18,20,20,10<-20,0,20,10", "33,20,20,10<-40,0,20,10"}},
        {3, L"%d%d", 0.0f, L"TopLeft", 28, {"10,20,8,10<-0,0,8,10", "18,20,20,10<-60,0,20,10"}},
        // Right alignment keeps 4 pixels of margin; bottom alignment none.
        {3, nullptr, 0.75f, L"BottomRight", 28, {"78,40,8,10<-0,0,8,10", "86,40,20,10<-60,0,20,10"}},
        {3, nullptr, 0.75f, L"CenterCenter", 28, {"46,30,8,10<-0,0,8,10", "54,30,20,10<-60,0,20,10"}},
        {3, nullptr, 0.75f, L"TopLeft", 28, {"78,30,8,10<-0,0,8,10", "86,30,20,10<-60,0,20,10"}, 5},
        // An alignment outside the nine places the number at the frame's origin, not the window's.
        {3, nullptr, 0.75f, L"TopLeft", 28, {"0,0,8,10<-0,0,8,10", "8,0,20,10<-60,0,20,10"}, 9},
        {3, nullptr, 0.75f, L"TopLeft", 28, {"0,0,8,10<-0,0,8,10", "8,0,20,10<-60,0,20,10"}, -1},
    };
    int row = 0;
    for (const DigitsCase& c : cases) {
        SCOPED_TRACE(row++);
        RecordedUI ui;
        std::wstring description = L"<Digits Name=\"d\" X=\"10\" Y=\"20\" Width=\"100\" Height=\"30\" TitleAlign=\"" +
                                   std::wstring(c.align) + L"\" Number=\"" + std::to_wstring(c.number) + L"\"" +
                                   (c.format != nullptr ? L" FormatString=\"" + std::wstring(c.format) + L"\"" : L"") +
                                   L"><Image Tag=\"Digits\" Filename=\"digits.bmp\"/><Image Tag=\"Add\" "
                                   L"Filename=\"plus.bmp\"/><Image Tag=\"Sub\" Filename=\"minus.bmp\"/></Digits>";
        ui.Load(description.c_str());
        auto* digits = dynamic_cast<IDigits*>(ui.Root()->FindWindow(L"d"));
        ASSERT_NE(digits, nullptr);
        digits->SetRatioStepX(c.ratio);
        if (c.alignCode != kFromDescription)
            digits->SetTitleAlign(c.alignCode);
        int32_t width = -1, height = -1;
        digits->GetDigitsSize(&width, &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, 10);
        EXPECT_EQ(Paint(ui), c.drawn);
    }
}

TEST(Digits, TheMostNegativeNumberDrawsItsTenDigitsAndNothingDrawsWithoutAStrip)
{
    PictureFolder pictures;
    RecordedUI ui;
    IUIWindow* window = ui.Add(ui.Root(), L"d", 0, 0, 400, 30, L"Digits");
    auto* digits = dynamic_cast<IDigits*>(window);
    ASSERT_NE(digits, nullptr);
    window->SetTitleAlign(0);
    digits->SetNumber(INT_MIN);
    EXPECT_TRUE(Paint(ui).empty());

    TIntrusivePointer<IUIImage> strip(ui.ui->CreateImage(L"digits.bmp"));
    digits->SetDigitsImage(strip.Get());
    digits->SetRatioStepX(1.0f);
    const Lines drawn = Paint(ui);
    ASSERT_EQ(drawn.size(), 10u);
    EXPECT_EQ(drawn.front(), "0,0,20,10<-40,0,20,10"); // 2147483648
    EXPECT_EQ(drawn.back(), "180,0,20,10<-160,0,20,10");
}
