#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/CMultilineEditBox.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/services/IClipboard.h"

using namespace UITest;

namespace {

struct MultilineTest : ::testing::Test
{
    TextUI ui;
    IMultilineEditBox* box = ui.Add<IMultilineEditBox>(L"MultilineEditBox", 10, 10, 100, 80);

    CMultilineEditBox* Box() { return dynamic_cast<CMultilineEditBox*>(box); }
    std::wstring Text() { return box->GetTitle(); }
    void Key(int32_t key, std::initializer_list<int32_t> modifiers = {})
    {
        ui.driver->keysDown.insert(modifiers.begin(), modifiers.end());
        box->OnKeyDown(key);
        ui.driver->keysDown.clear();
    }
    std::pair<int, int> PlaceOf(int index)
    {
        const auto& place = Box()->GetLayout()[static_cast<size_t>(index)];
        return {place.x, place.y};
    }
};

struct Placement
{
    const char* name;
    const wchar_t* text;
    int index;
    int x, y;
};

const Placement kPlacements[] = {
    {"the eleventh character starts the second line", L"0123456789a", 10, 0, 17},
    {"the end of a full line stays on it", L"0123456789", 10, 100, 0},
    {"a wide character that does not fit wraps", L"012345678\x4E2D", 9, 0, 17},
    {"narrow characters pack tighter", L"0123456789ii", 11, 4, 17},
    {"a third line", L"0123456789abcdefghijk", 20, 0, 34},
    {"a line feed is just a character", L"a\nb", 2, 20, 0},
};

} // namespace

TEST_F(MultilineTest, TextWrapsCharacterByCharacterAtTheWidth)
{
    for (const Placement& row : kPlacements) {
        SCOPED_TRACE(row.name);
        box->SetTitle(row.text);
        EXPECT_EQ(PlaceOf(row.index), std::make_pair(row.x, row.y));
    }
    // A narrower box wraps the same text anew.
    box->SetTitle(L"0123456789a");
    box->SetWidth(50);
    EXPECT_EQ(PlaceOf(5), std::make_pair(0, 17));
    EXPECT_EQ(PlaceOf(10), std::make_pair(0, 34));
}

namespace {

// From the caret at `from` in the navigation text, a key with modifiers.
struct Move
{
    const char* name;
    const wchar_t* text;
    int from;
    int32_t key;
    std::vector<int32_t> modifiers;
    int caret;
    int selectFrom, selectTo; // -1: no selection
};

// Lines: 0-9, 10-19 (a-j), 20-23 (k-n), the end at 24.
const wchar_t kNav[] = L"0123456789abcdefghijklmn";
// Lines: ten 'a', five wide characters, then "bc".
const wchar_t kMixed[] = L"aaaaaaaaaa\x4E2D\x4E2D\x4E2D\x4E2D\x4E2D" L"bc";

const Move kMoves[] = {
    {"up takes the later of equally close positions", kNav, 24, VK_UP, {}, 14, -1, -1},
    {"up on the first line does nothing", kNav, 3, VK_UP, {VK_SHIFT}, 3, -1, -1},
    {"down takes the earlier of equally close positions", kNav, 3, VK_DOWN, {}, 13, -1, -1},
    {"down on the last line does nothing", kNav, 22, VK_DOWN, {}, 22, -1, -1},
    {"up can skip a line whose positions are further away", kMixed, 16, VK_UP, {}, 1, -1, -1},
    {"home goes to the line's first position", kNav, 15, VK_HOME, {}, 10, -1, -1},
    {"end on a wrapped line stops before its last character", kNav, 5, VK_END, {}, 9, -1, -1},
    {"end on the last line reaches the text's end", kNav, 21, VK_END, {}, 24, -1, -1},
    {"ctrl+home reaches the start", kNav, 15, VK_HOME, {VK_CONTROL}, 0, -1, -1},
    {"ctrl+shift+end selects to the end", kNav, 15, VK_END, {VK_CONTROL, VK_SHIFT}, 24, 15, 24},
    {"shift+down selects across lines", kNav, 2, VK_DOWN, {VK_SHIFT}, 12, 2, 12},
    {"left at the start stays", kNav, 0, VK_LEFT, {}, 0, -1, -1},
};

} // namespace

TEST_F(MultilineTest, KeysMoveBetweenLinesByPosition)
{
    for (const Move& row : kMoves) {
        SCOPED_TRACE(row.name);
        box->SetTitle(row.text);
        Key(VK_HOME, {VK_CONTROL});
        for (int i = 0; i < row.from; ++i)
            Key(VK_RIGHT);
        ui.driver->keysDown.insert(row.modifiers.begin(), row.modifiers.end());
        box->OnKeyDown(row.key);
        ui.driver->keysDown.clear();
        EXPECT_EQ(Box()->GetCaretIndex(), row.caret);
        EXPECT_EQ(Box()->GetSelection().active, row.selectFrom >= 0);
        if (row.selectFrom >= 0) {
            EXPECT_EQ(Box()->GetSelection().start, row.selectFrom);
            EXPECT_EQ(Box()->GetSelection().end, row.selectTo);
        }
    }
}

TEST_F(MultilineTest, TheLimitDoesNotCreditTheReplacedSelection)
{
    box->SetCharLimit(4);
    box->SetTitle(L"abcd");
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    box->OnChar(L'x');
    EXPECT_EQ(Text(), L"abcd");
    box->SetCharLimit(5);
    box->OnChar(L'\x4E2D');
    EXPECT_EQ(Text(), L"abcd") << "a wide character counts two";
    box->OnChar(L'x');
    EXPECT_EQ(Text(), L"abx");
    box->OnChar(L'\t');
    box->OnChar(L'\r');
    EXPECT_EQ(Text(), L"abx");
}

TEST_F(MultilineTest, ClicksFocusWithoutSelectingAndFindThePosition)
{
    box->SetTitle(kNav);
    ui.Click(10 + 34, 10 + 20);
    EXPECT_EQ(ui.ui->GetFocusWindow(), box);
    EXPECT_FALSE(Box()->GetSelection().active);
    EXPECT_EQ(Box()->GetCaretIndex(), 13);
    ui.Click(10 + 50, 10 + 70);
    EXPECT_EQ(Box()->GetCaretIndex(), 24) << "below the last line: the end";
    ui.Click(10, 10 + 70);
    EXPECT_EQ(Box()->GetCaretIndex(), 0) << "below the last line at x 0: the start";
    // A drag from the first line to the third selects between.
    ui.driver->RaiseLButtonDown(10 + 20, 10 + 5);
    ui.driver->RaiseMouseMove(10 + 30, 10 + 40);
    ui.driver->RaiseLButtonUp(10 + 30, 10 + 40);
    EXPECT_EQ(Box()->GetSelection().start, 2);
    EXPECT_EQ(Box()->GetSelection().end, 23);
    // The caret stands at the position's place, one font height tall.
    EXPECT_TRUE(Box()->GetCaret().IsShown());
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Count("fill 40,44,1,16"), 1);
}

TEST_F(MultilineTest, SelectionAndCharactersPaintOneByOne)
{
    box->SetTitle(L"0123456789ab");
    ui.ui->SetFocus(box);
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Starting("fill"), (Lines{"fill 99,10,12,17", "fill 9,27,12,17", "fill 19,27,12,17",
                                                   "fill 100,10,1,16"}));
    EXPECT_EQ(ui.driver->Count("draw "), 12);
    EXPECT_EQ(ui.driver->Count("draw a at 10,27"), 1);
}

TEST_F(MultilineTest, UndoRedoAndPasteWorkAsInTheSingleLineBox)
{
    EventCounter counter;
    counter.Watch<kMultilineEditBoxTextChangedEvent>(box);
    IClipboard_GetInstance()->SetText(L"x\ty");
    box->Paste();
    EXPECT_EQ(Text(), L"xy");
    EXPECT_EQ(counter.counts[kMultilineEditBoxTextChangedEvent], 2);
    Key('Z', {VK_CONTROL});
    EXPECT_EQ(Text(), L"x");
    Key('Y', {VK_CONTROL});
    EXPECT_EQ(Text(), L"xy");
    Key('A', {VK_CONTROL});
    Key('X', {VK_CONTROL});
    EXPECT_EQ(Text(), L"");
    EXPECT_EQ(IClipboard_GetInstance()->GetText()->GetUtf16(), std::wstring(L"xy"));
    box->Copy();
    EXPECT_EQ(IClipboard_GetInstance()->GetText()->GetUtf16(), std::wstring(L""));
    Key(VK_BACK);
    EXPECT_EQ(counter.counts[kMultilineEditBoxTextChangedEvent], 4) << "the cut and the empty backspace report";
}

namespace {

// Edits from the caret at `at` in a wrapped text of narrow and wide characters.
struct Edit
{
    const char* name;
    int at;
    std::vector<int32_t> keys; // VK_BACK, VK_DELETE, VK_LEFT with Shift as -VK_LEFT, or a character
};

const Edit kEdits[] = {
    {"a wide character typed mid-line", 3, {0x4E2D}},
    {"narrow characters typed before a wrap", 9, {'i', 'i', 'i'}},
    {"a backspace at a line start", 10, {VK_BACK}},
    {"a delete in the first line", 0, {VK_DELETE, VK_DELETE}},
    {"a selection replaced by a character", 12, {-VK_LEFT, -VK_LEFT, -VK_LEFT, -VK_LEFT, 'x'}},
    {"an undone edit", 5, {'w', 'w', 'Z' + 0x10000}},
};

} // namespace

TEST_F(MultilineTest, EditsLayTheTextOutAsAFreshBoxWould)
{
    IMultilineEditBox* fresh = ui.Add<IMultilineEditBox>(L"MultilineEditBox", 10, 100, 100, 80);
    auto places = [](IMultilineEditBox* which) {
        std::vector<std::vector<int>> all;
        for (const auto& p : dynamic_cast<CMultilineEditBox*>(which)->GetLayout())
            all.push_back({p.x, p.y, p.width, p.height});
        return all;
    };
    for (const Edit& row : kEdits) {
        SCOPED_TRACE(row.name);
        box->SetTitle(L"0123\x4E2D" L"56789abc\x6587" L"defghijklmnop");
        Box()->GetLayout();
        Key(VK_HOME, {VK_CONTROL});
        for (int i = 0; i < row.at; ++i)
            Key(VK_RIGHT);
        for (int32_t key : row.keys) {
            if (key == VK_BACK || key == VK_DELETE)
                Key(key);
            else if (key == -VK_LEFT)
                Key(VK_LEFT, {VK_SHIFT});
            else if (key > 0x10000)
                Key(key - 0x10000, {VK_CONTROL});
            else
                box->OnChar(static_cast<wchar_t>(key));
            Box()->GetLayout();
        }
        fresh->SetTitle(box->GetTitle());
        EXPECT_EQ(places(box), places(fresh));
    }
}
