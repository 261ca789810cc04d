#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/CEditBox.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/services/IClipboard.h"

using namespace UITest;

namespace {

std::wstring ClipboardText()
{
    return IClipboard_GetInstance()->GetText()->GetUtf16();
}

struct EditBoxTest : ::testing::Test
{
    TextUI ui;
    IEditBox* box = ui.Add<IEditBox>(L"EditBox", 10, 10, 100, 20);
    EventCounter events;

    CEditBox* Box() { return dynamic_cast<CEditBox*>(box); }
    std::wstring Text() { return box->GetTitle(); }

    void Key(int32_t key, std::initializer_list<int32_t> modifiers = {})
    {
        ui.driver->keysDown.insert(modifiers.begin(), modifiers.end());
        box->OnKeyDown(key);
        ui.driver->keysDown.clear();
    }
    // Selects [start, end) with the keyboard, as a user would.
    void Select(int start, int end)
    {
        Key(VK_HOME);
        for (int i = 0; i < start; ++i)
            Key(VK_RIGHT);
        for (int i = start; i < end; ++i)
            Key(VK_RIGHT, {VK_SHIFT});
    }
    void TypeInto(const std::wstring& text)
    {
        for (wchar_t c : text)
            box->OnChar(c);
    }
};

struct CharRule
{
    const char* name;
    int limit;
    bool password;
    bool numberOnly;
    const wchar_t* text;
    int selectFrom, selectTo; // -1: no selection
    wchar_t typed;
    const wchar_t* expected;
};

const CharRule kCharRules[] = {
    {"fifth letter fits a limit of five", 5, false, false, L"abcd", -1, -1, L'e', L"abcde"},
    {"sixth letter is over the limit", 5, false, false, L"abcde", -1, -1, L'f', L"abcde"},
    {"wide character counts two", 5, false, false, L"abcd", -1, -1, L'\x4E2D', L"abcd"},
    {"replaced selection is credited", 5, false, false, L"abcd", 1, 3, L'\x4E2D', L"a\x4E2D" L"d"},
    {"wide characters count two in the text", 5, false, false, L"\x4E2D\x6587", -1, -1, L'a', L"\x4E2D\x6587" L"a"},
    {"wide text already at the limit", 4, false, false, L"\x4E2D\x6587", -1, -1, L'a', L"\x4E2D\x6587"},
    {"password refuses wide characters", 100, true, false, L"ab", -1, -1, L'\x4E2D', L"ab"},
    {"password takes narrow characters", 100, true, false, L"ab", -1, -1, L'c', L"abc"},
    {"digits only takes a digit", 100, false, true, L"1", -1, -1, L'5', L"15"},
    {"digits only refuses minus", 100, false, true, L"1", -1, -1, L'-', L"1"},
    {"digits only refuses a point", 100, false, true, L"1", -1, -1, L'.', L"1"},
    {"digits only refuses a space", 100, false, true, L"1", -1, -1, L' ', L"1"},
    {"digits only refuses full-width digits", 100, false, true, L"1", -1, -1, L'\xFF15', L"1"},
    {"tab is never inserted", 100, false, false, L"a", -1, -1, L'\t', L"a"},
    {"enter is never inserted", 100, false, false, L"a", -1, -1, L'\r', L"a"},
    {"ctrl+letter is never inserted", 100, false, false, L"a", -1, -1, L'\x01', L"a"},
    {"a zero limit takes nothing", 0, false, false, L"", -1, -1, L'a', L""},
};

} // namespace

TEST_F(EditBoxTest, CharactersFollowLimitPasswordAndDigitRules)
{
    for (const CharRule& rule : kCharRules) {
        SCOPED_TRACE(rule.name);
        box->SetCharLimit(rule.limit);
        box->SetPassword(rule.password);
        box->SetNumberOnly(rule.numberOnly);
        box->SetTitle(rule.text);
        if (rule.selectFrom >= 0)
            Select(rule.selectFrom, rule.selectTo);
        EventCounter counter;
        counter.Watch<kEditBoxTextChangedEvent>(box);
        box->OnChar(rule.typed);
        const bool accepted = std::wstring(rule.expected) != rule.text;
        EXPECT_EQ(Text(), rule.expected);
        EXPECT_EQ(counter.counts[kEditBoxTextChangedEvent], accepted ? 1 : 0);
        EXPECT_EQ(box->CanUndo(), accepted) << "a refused character leaves no snapshot";
        box->RemoveObjectDelegates(&counter);
    }
}

namespace {
struct Vetoer
{
    std::wstring seen;
    void OnWillAccept(void*, tagEventArgs* args)
    {
        auto* record = static_cast<tagEditBoxWillAcceptCharEventArgs*>(args);
        seen += record->character;
        if (record->character == L'x')
            record->accept = false;
    }
};
} // namespace

TEST_F(EditBoxTest, AWillAcceptHandlerVetoesCharactersThatPassedTheRules)
{
    Vetoer vetoer;
    box->AddMemberFunctionDelegate(kEditBoxWillAcceptCharEvent, &vetoer, &Vetoer::OnWillAccept);
    box->SetNumberOnly(false);
    TypeInto(L"ax\tb");
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(vetoer.seen, L"axb") << "control characters are refused before the handler is asked";
}

TEST_F(EditBoxTest, UndoAndRedoWalkWholeStates)
{
    TypeInto(L"ab");
    Key('Z', {VK_CONTROL});
    EXPECT_EQ(Text(), L"a");
    Key('Z', {VK_CONTROL});
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(box->CanUndo());
    Key('Z', {VK_CONTROL});
    EXPECT_EQ(Text(), L"");
    Key('Y', {VK_CONTROL});
    EXPECT_EQ(Text(), L"a");
    EXPECT_EQ(Box()->GetCaretIndex(), 1);
    EXPECT_TRUE(box->CanRedo());
    TypeInto(L"c");
    EXPECT_FALSE(box->CanRedo()) << "typing after an undo forgets the redo steps";
    // Ctrl with Shift is no shortcut.
    Key('Z', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Text(), L"ac");
    box->SetTitle(L"new");
    EXPECT_FALSE(box->CanUndo());
    EXPECT_FALSE(box->CanRedo());
    EXPECT_EQ(Box()->GetCaretIndex(), 3);
    EXPECT_FALSE(Box()->GetSelection().active);
}

TEST_F(EditBoxTest, ClipboardCutCopyAndPasteGoThroughTheRules)
{
    box->SetTitle(L"hello");
    Select(1, 4);
    Key('C', {VK_CONTROL});
    EXPECT_EQ(ClipboardText(), L"ell");
    Key('X', {VK_CONTROL});
    EXPECT_EQ(Text(), L"ho");
    EXPECT_EQ(ClipboardText(), L"ell");
    Key('V', {VK_CONTROL});
    EXPECT_EQ(Text(), L"hello");

    // Password mode never lets the text out, but a cut still deletes.
    box->SetPassword(true);
    Select(0, 2);
    Key('X', {VK_CONTROL});
    EXPECT_EQ(ClipboardText(), L"");
    EXPECT_EQ(Text(), L"llo");
    // Cut without a selection does nothing; copy puts an empty text.
    IClipboard_GetInstance()->SetText(L"kept");
    box->Cut();
    EXPECT_EQ(ClipboardText(), L"kept");
    EXPECT_EQ(Text(), L"llo");
    box->SetPassword(false);
    box->Copy();
    EXPECT_EQ(ClipboardText(), L"");
}

TEST_F(EditBoxTest, PastedCharactersAreFilteredOneByOne)
{
    box->SetNumberOnly(true);
    box->SetTitle(L"7");
    events.Watch<kEditBoxTextChangedEvent>(box);
    IClipboard_GetInstance()->SetText(L"a1b");
    box->Paste();
    EXPECT_EQ(Text(), L"71");
    EXPECT_EQ(events.counts[kEditBoxTextChangedEvent], 1);
    box->Undo();
    EXPECT_EQ(Text(), L"7");
    box->Undo();
    EXPECT_EQ(Text(), L"7");
    EXPECT_FALSE(box->CanUndo()) << "one snapshot before the paste, one before the 1";
}

TEST_F(EditBoxTest, KeysMoveTheCaretAndGrowTheSelection)
{
    box->SetTitle(L"abcde");
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    EXPECT_TRUE(Box()->GetSelection().active);
    EXPECT_EQ(Box()->GetSelection().start, 3);
    EXPECT_EQ(Box()->GetSelection().end, 5);
    Key(VK_LEFT);
    EXPECT_FALSE(Box()->GetSelection().active);
    EXPECT_EQ(Box()->GetCaretIndex(), 2);
    Key(VK_HOME, {VK_SHIFT, VK_CONTROL});
    EXPECT_EQ(Box()->GetSelection().start, 0);
    EXPECT_EQ(Box()->GetSelection().end, 2);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), L"cde");
    Key(VK_END);
    Key(VK_BACK);
    EXPECT_EQ(Text(), L"cd");
    Key(VK_HOME);
    Key(VK_BACK);
    EXPECT_EQ(Text(), L"cd") << "backspace at the start deletes nothing";
    EXPECT_TRUE(box->CanUndo()) << "but still leaves a snapshot";
    Key(VK_UP);
    EXPECT_EQ(Box()->GetCaretIndex(), 0);
}

TEST_F(EditBoxTest, TheViewScrollsToKeepTheCaretInsideTheBox)
{
    ui.ui->SetFocus(box);
    TypeInto(L"0123456789");
    EXPECT_EQ(Box()->GetScrollOffset(), 0) << "a caret on the right edge still fits";
    TypeInto(L"ab");
    EXPECT_EQ(Box()->GetScrollOffset(), 100 - 120 - 1);
    EXPECT_EQ(Box()->GetScrollOffset() + 120, 99) << "the caret stays on the last pixel column";
    Key(VK_LEFT);
    EXPECT_EQ(Box()->GetScrollOffset(), -21) << "moving left inside the view does not scroll";
    Key(VK_HOME);
    EXPECT_EQ(Box()->GetScrollOffset(), 0);
    Key(VK_END);
    ui.driver->calls.clear();
    ui.Paint();
    // Text drawn at the box's x plus the offset, centred in the height (20 - 16) / 2.
    EXPECT_EQ(ui.driver->Count("draw 0123456789ab at -11,12"), 1);
    // The caret is a one-pixel bar at the caret's column.
    EXPECT_EQ(ui.driver->Count("fill 109,10,1,20"), 1);
}

TEST_F(EditBoxTest, MouseClicksPlaceTheCaretAndDragsSelect)
{
    box->SetTitle(L"abcdef");
    ui.Click(10 + 15, 15);
    EXPECT_EQ(ui.ui->GetFocusWindow(), box);
    EXPECT_TRUE(Box()->GetSelection().active) << "the first click selects all";
    EXPECT_EQ(Box()->GetCaretIndex(), 2) << "a click mid-character puts the caret after it";
    ui.Click(10 + 34, 15);
    EXPECT_FALSE(Box()->GetSelection().active) << "the second click clears the selection";
    EXPECT_EQ(Box()->GetCaretIndex(), 3);

    ui.driver->RaiseLButtonDown(10 + 11, 15);
    ui.driver->RaiseMouseMove(10 + 41, 15);
    ui.driver->RaiseLButtonUp(10 + 41, 15);
    EXPECT_EQ(Box()->GetSelection().start, 1);
    EXPECT_EQ(Box()->GetSelection().end, 4);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), nullptr);

    // A double click selects all, and the press that follows it only ends it.
    ui.driver->RaiseLButtonDblClk(10 + 11, 15);
    ui.driver->RaiseLButtonDown(10 + 11, 15);
    EXPECT_EQ(Box()->GetSelection().end, 6);
    EXPECT_TRUE(Box()->GetSelection().active);
}

// Box at x 10, 100 wide; 'i' is 4 pixels, '*' and 'a' 10, wide characters 20.
TEST_F(EditBoxTest, TheCaretGoesToTheNearestPositionUnderThePointer)
{
    struct Row
    {
        const char* what;
        const wchar_t* text;
        bool password;
        int x;
        int32_t caret;
    };
    const Row rows[] = {
        {"between two as near, the later", L"iiii", false, 16, 2},
        {"masked characters are measured masked", L"iiii", true, 16, 1},
        {"wide characters", L"\x4E2D" L"a", false, 35, 2},
        {"on the left edge", L"ab", false, 10, 0},
        {"past the end", L"ab", false, 109, 2},
        {"scrolled: the caret at the end moved the text 51 pixels left", L"aaaaaaaaaaaaaaa", false, 60, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        box->SetPassword(row.password);
        box->SetTitle(row.text);
        ui.ui->SetFocus(box);
        ui.Click(row.x, 15);
        EXPECT_EQ(Box()->GetCaretIndex(), row.caret);
    }
}

// Placing the caret takes a few measures of the text, not one of every
// prefix: a press or a drag step in a long text stays cheap.
TEST_F(EditBoxTest, PlacingTheCaretTakesAFewMeasures)
{
    const std::wstring text(1000, L'a');
    box->SetTitle(text.c_str());
    ui.ui->SetFocus(box);
    Key(VK_HOME);
    ui.Click(40, 15);
    ui.driver->measuredTexts = 0;
    ui.Click(60, 15);
    EXPECT_EQ(Box()->GetCaretIndex(), 5);
    // About twice the binary logarithm of the positions, and the caret's own.
    EXPECT_LE(ui.driver->measuredTexts, 30);
    ui.driver->RaiseLButtonDown(60, 15);
    ui.driver->measuredTexts = 0;
    ui.driver->RaiseMouseMove(80, 15);
    EXPECT_LE(ui.driver->measuredTexts, 30);
    ui.driver->RaiseLButtonUp(80, 15);
    EXPECT_EQ(Box()->GetSelection().end, 7);
}

// Advances of 7.5 pixels: a prefix of n characters is 7.5 n pixels wide,
// whole pixels, while one character alone measures 7. The caret lands where
// it is drawn, at the measured prefix nearest the pointer.
TEST_F(EditBoxTest, TheCaretLandsOnTheMeasuredPrefixWhenAdvancesAreFractional)
{
    ui.driver->fractionalAdvance = 7.5;
    box->SetTitle(L"aaaaaaaaaaaa");
    ui.ui->SetFocus(box);
    struct Row
    {
        const char* what;
        int x; // from the box's left edge at 10
        int32_t caret;
    };
    const Row rows[] = {
        {"on the eleventh position (82), not the twelfth summed one (84)", 82, 11},
        {"on the eighth position (60), not the ninth summed one (63)", 60, 8},
        {"between 22 and 30, as near: the later", 26, 4},
        {"one pixel nearer the earlier", 25, 3},
        {"past the end", 99, 12},
        {"near the start", 3, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ui.Click(10 + row.x, 15);
        EXPECT_EQ(Box()->GetCaretIndex(), row.caret);
    }
}

TEST_F(EditBoxTest, APaintedSelectionIsWidenedByAPixelEachSide)
{
    box->SetTitle(L"abcd");
    ui.ui->SetFocus(box);
    Select(1, 3);
    box->SetPassword(true);
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Count("fill 19,10,22,20"), 1);
    EXPECT_EQ(ui.driver->Count("draw **** at 10,12"), 1);
    // Without the focus the selection stays but is not drawn.
    ui.ui->SetFocus(nullptr);
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Count("fill"), 0);
    EXPECT_TRUE(Box()->GetSelection().active);
}

TEST_F(EditBoxTest, AttributesLoadWithTheLimitCapped)
{
    ui.Load(L"<EditBox Name=\"e\" Width=\"80\" Height=\"20\" Password=\"true\" NumberOnly=\"True\" CharLimit=\"3000\" "
            L"SelectColor=\"1,2,3\" Title=\"xyz\"/>");
    auto* loaded = dynamic_cast<IEditBox*>(ui.ui->GetRootWindow()->FindWindow(L"e"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->GetPassword());
    EXPECT_FALSE(loaded->GetNumberOnly()) << "a flag is true only for the exact text";
    EXPECT_EQ(loaded->GetCharLimit(), 2000);
    EXPECT_EQ(loaded->GetSelectColor(), tagColor(1, 2, 3, 255));
    EXPECT_EQ(std::wstring(loaded->GetTitle()), L"xyz");
    box->SetCharLimit(5000);
    EXPECT_EQ(box->GetCharLimit(), 2000);
    box->SetCharLimit(-3);
    EXPECT_EQ(box->GetCharLimit(), -3);
}

TEST_F(EditBoxTest, DisablingDropsTheFocusAndTheWheelIsReported)
{
    std::vector<int> steps;
    struct Wheel
    {
        std::vector<int>* steps;
        void On(void*, tagEventArgs* args) { steps->push_back(static_cast<tagWindowMouseWheelEventArgs*>(args)->steps); }
    } wheel{&steps};
    box->AddMemberFunctionDelegate(kEditBoxMouseWheelEvent, &wheel, &Wheel::On);
    Box()->OnMouseWheel(2);
    ui.ui->SetFocus(box);
    EXPECT_TRUE(Box()->GetCaret().IsShown());
    box->Disable();
    EXPECT_EQ(ui.ui->GetFocusWindow(), nullptr);
    EXPECT_FALSE(Box()->GetCaret().IsShown());
    Box()->OnMouseWheel(3);
    EXPECT_EQ(steps, std::vector<int>({2}));
}
