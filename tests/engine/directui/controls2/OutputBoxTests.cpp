#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/COutputBox.h"
#include "engine/directui/controls/IOutputBox.h"

using namespace UITest;

namespace {

struct OutputBoxTest : ::testing::Test
{
    TextUI ui;
    IOutputBox* box = ui.Add<IOutputBox>(L"OutputBox", 10, 20, 50, 40);

    std::vector<std::wstring> LineTexts()
    {
        std::vector<std::wstring> texts;
        for (const auto& line : dynamic_cast<COutputBox*>(box)->GetLines())
            texts.push_back(line->text);
        return texts;
    }
};

struct Wrap
{
    const char* name;
    int width;
    std::wstring text;
    std::vector<std::wstring> lines;
    int contentWidth;
};

const Wrap kWraps[] = {
    {"a text that fits is one line", 50, L"abc", {L"abc"}, 30},
    {"twice the width is cut between characters", 50, L"0123456789", {L"01234", L"56789"}, 50},
    {"each line as full as the width allows", 25, L"iiiiiii", {L"iiiiii", L"i"}, 24},
    {"a line feed is measured like any character", 50, L"a\nb", {L"a\nb"}, 30},
    {"an empty text is one empty line", 50, L"", {L""}, 0},
    {"a character wider than the box takes a line of its own", 15, L"a\x4E2D" L"b", {L"a", L"\x4E2D", L"b"}, 20},
    {"a box narrower than every character still ends", 5, L"abc", {L"a", L"b", L"c"}, 10},
    {"a line is at most 999 characters", 100000, std::wstring(1500, L'x'),
     {std::wstring(999, L'x'), std::wstring(501, L'x')}, 9990},
};

} // namespace

TEST_F(OutputBoxTest, TextsWrapIntoLinesThatFitTheWidth)
{
    for (const Wrap& row : kWraps) {
        SCOPED_TRACE(row.name);
        box->Clear();
        box->SetWidth(row.width);
        box->AppendText(L"Default", tagColor(1, 2, 3), row.text.c_str());
        EXPECT_EQ(LineTexts(), row.lines);
        EXPECT_EQ(box->GetContentWidth(), row.contentWidth);
        EXPECT_EQ(box->GetContentHeight(), static_cast<int>(row.lines.size()) * (16 + 3));
    }
}

TEST_F(OutputBoxTest, AnOverlongTextIsCutAtItsLimit)
{
    box->SetWidth(100000);
    box->AppendText(L"Default", tagColor(), std::wstring(12000, L'y').c_str());
    size_t kept = 0;
    for (const std::wstring& line : LineTexts())
        kept += line.size();
    EXPECT_EQ(kept, 9999u);
}

TEST_F(OutputBoxTest, LinesPaintInTheirFontsAndScrollOut)
{
    box->AppendText(L"Default", tagColor(1, 2, 3), L"one");
    box->AppendText(L"Big", tagColor(4, 5, 6), L"two");
    EXPECT_EQ(box->GetContentHeight(), 19 + 23);
    ui.Paint();
    EXPECT_EQ(ui.driver->Starting("draw"),
              (Lines{"draw one at 10,20 font 0 colour 1,2,3", "draw two at 10,39 font 1 colour 4,5,6"}));
    box->SetScrollOffset(box->GetContentHeight() + 1);
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Count("draw"), 0);
    box->SetScrollOffset(-25);
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Starting("draw"), (Lines{"draw one at 10,45 font 0 colour 1,2,3"}))
        << "the second line starts below the box";
    box->Clear();
    box->AppendText(L"Default", tagColor(), L"a");
    EXPECT_EQ(box->GetContentWidth(), 10);
    EXPECT_EQ(box->GetScrollOffset(), 0);
}
