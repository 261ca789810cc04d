#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/IHotKeyBox.h"

using namespace UITest;

namespace {

const wchar_t kNone[] = L"\x65E0";

struct HotKeyTest : ::testing::Test
{
    TextUI ui;
    IHotKeyBox* box = ui.Add<IHotKeyBox>(L"HotKeyBox", 10, 10, 200, 20);
    EventCounter events;

    HotKeyTest() { ui.ui->SetFocus(box); }
    // A key press as the frame delivers it to the focused box.
    void Press(int32_t key, const std::vector<int32_t>& modifiers)
    {
        ui.driver->keysDown.insert(modifiers.begin(), modifiers.end());
        ui.driver->RaiseKeyDown(key);
        ui.driver->keysDown.clear();
    }
};

struct KeyPress
{
    std::vector<int32_t> modifiers;
    int32_t key;
    const wchar_t* text;
    uint32_t storedModifiers, storedKey;
};

// Each from the hot key Ctrl + Q.
const KeyPress kPresses[] = {
    {{VK_CONTROL, VK_SHIFT}, VK_F5, L"Ctrl + Shift + F5", 6, 116},
    {{VK_MENU}, 'A', L"Alt + A", 1, 65},
    {{VK_CONTROL, VK_MENU, VK_SHIFT}, '1', L"Ctrl + Alt + Shift + 1", 7, 49},
    {{}, VK_NUMPAD5, L"Num5", 0, 101},
    {{}, VK_NUMPAD0, L"Num0", 0, 96},
    {{}, VK_F12, L"F12", 0, 123},
    {{}, VK_F1, L"F1", 0, 112},
    {{}, VK_MULTIPLY, L"Num*", 0, 106},
    {{}, VK_DECIMAL, L"Num.", 0, 110},
    {{}, VK_OEM_COMMA, L"<", 0, 188},
    {{}, VK_OEM_PERIOD, L">", 0, 190},
    {{}, VK_OEM_7, L"\"", 0, 222},
    {{}, VK_OEM_5, L"\\", 0, 220},
    {{}, VK_OEM_3, L"~", 0, 192},
    {{}, VK_SPACE, L"Space", 0, 32},
    {{}, VK_PRIOR, L"PageUp", 0, 33},
    {{}, VK_NUMLOCK, L"NumLock", 0, 144},
    {{VK_CONTROL}, VK_BACK, L"Ctrl + Backspace", 2, 8},
    {{}, VK_ESCAPE, kNone, 0, 0},
    {{}, VK_BACK, kNone, 0, 0},
    {{}, VK_DELETE, kNone, 0, 0},
    // Keys without a name change nothing.
    {{VK_CONTROL}, VK_CONTROL, L"Ctrl + Q", 2, 'Q'},
    {{VK_CONTROL}, VK_ESCAPE, L"Ctrl + Q", 2, 'Q'},
    {{}, VK_TAB, L"Ctrl + Q", 2, 'Q'},
    {{}, VK_LWIN, L"Ctrl + Q", 2, 'Q'},
    {{}, VK_PAUSE, L"Ctrl + Q", 2, 'Q'},
    {{}, 0, L"Ctrl + Q", 2, 'Q'},
};

} // namespace

TEST_F(HotKeyTest, KeyPressesBecomeHotKeysWithTheirTexts)
{
    for (const KeyPress& row : kPresses) {
        SCOPED_TRACE(testing::Message() << "key " << row.key);
        box->SetHotKey(kHotKeyCtrl, 'Q');
        EventCounter counter;
        counter.Watch<kHotKeyBoxTextChangedEvent>(box);
        Press(row.key, row.modifiers);
        EXPECT_EQ(std::wstring(box->GetTitle()), row.text);
        EXPECT_EQ(box->GetModifiers(), row.storedModifiers);
        EXPECT_EQ(box->GetKey(), row.storedKey);
        EXPECT_EQ(counter.counts[kHotKeyBoxTextChangedEvent], 1) << "every press reports";
        box->RemoveObjectDelegates(&counter);
    }
}

namespace {
struct Canceller
{
    std::vector<std::pair<uint32_t, uint32_t>> asked;
    void On(void*, tagEventArgs* args)
    {
        auto* record = static_cast<tagHotKeyBoxTextChangingEventArgs*>(args);
        asked.emplace_back(record->modifiers, record->key);
        record->cancel = true;
    }
};
} // namespace

TEST_F(HotKeyTest, AChangingHandlerKeepsTheOldHotKey)
{
    box->SetHotKey(kHotKeyAlt, VK_F2);
    Canceller canceller;
    box->AddMemberFunctionDelegate(kHotKeyBoxTextChangingEvent, &canceller, &Canceller::On);
    events.Watch<kHotKeyBoxTextChangedEvent>(box);
    Press('B', {VK_SHIFT});
    Press(VK_ESCAPE, {});
    EXPECT_EQ(std::wstring(box->GetTitle()), kNone) << "clearing is not asked";
    box->SetHotKey(kHotKeyAlt, VK_F2);
    Press('C', {VK_CONTROL});
    EXPECT_EQ(std::wstring(box->GetTitle()), L"Alt + F2");
    EXPECT_EQ(box->GetKey(), static_cast<uint32_t>(VK_F2));
    EXPECT_EQ(canceller.asked, (std::vector<std::pair<uint32_t, uint32_t>>{{4, 'B'}, {2, 'C'}}));
    EXPECT_EQ(events.counts[kHotKeyBoxTextChangedEvent], 3);
}

TEST_F(HotKeyTest, StoredValuesOutliveAnUnnamedKeyAndTitlesFromDescriptions)
{
    box->SetHotKey(kHotKeyCtrl, VK_ESCAPE);
    EXPECT_EQ(std::wstring(box->GetTitle()), kNone);
    EXPECT_EQ(box->GetKey(), static_cast<uint32_t>(VK_ESCAPE));
    box->SetKey('K');
    EXPECT_EQ(std::wstring(box->GetTitle()), L"Ctrl + K");
    box->SetModifiers(kHotKeyShift | kHotKeyAlt);
    EXPECT_EQ(std::wstring(box->GetTitle()), L"Alt + Shift + K");
    ui.ui->SetFocus(box);
    ui.driver->RaiseChar(L'z');
    EXPECT_EQ(std::wstring(box->GetTitle()), L"Alt + Shift + K") << "typed characters change nothing";

    ui.Load(L"<HotKeyBox Name=\"h\" Width=\"80\" Height=\"20\" Title=\"Ctrl + X\" CaretColor=\"9,8,7\"/>");
    auto* loaded = dynamic_cast<IHotKeyBox*>(ui.ui->GetRootWindow()->FindWindow(L"h"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::wstring(loaded->GetTitle()), kNone);
    EXPECT_EQ(loaded->GetCaretColor(), tagColor(9, 8, 7, 255));
}

TEST_F(HotKeyTest, AClickFocusesAndTheCaretFollowsTheText)
{
    box->SetHotKey(0, 'A');
    ui.Click(15, 15);
    EXPECT_EQ(ui.ui->GetFocusWindow(), box);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), nullptr);
    ui.driver->calls.clear();
    ui.Paint();
    EXPECT_EQ(ui.driver->Starting("draw"), (Lines{"draw A at 10,12 font 0 colour 255,255,255"}));
    EXPECT_EQ(ui.driver->Count("fill 20,10,1,20"), 1);
}
