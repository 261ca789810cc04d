#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/CEditBox.h"
#include "engine/directui/controls/CMultilineEditBox.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"

using namespace UITest;

namespace {

// A 300 x 200 frame holding a window "under" that fills it and, above that,
// a single-line box at (10, 10, 60, 24) and a multi-line one at (10, 50, 60, 100).
struct BoxesInAFrame
{
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 300, 200);
    TIntrusivePointer<IUIWindow> under{new CUIWindow()};
    TIntrusivePointer<IUIWindow> single{frame->CreateControl(L"EditBox")};
    TIntrusivePointer<IUIWindow> multi{frame->CreateControl(L"MultilineEditBox")};

    BoxesInAFrame()
    {
        under->SetName(L"under");
        for (IUIWindow* window : {under.Get(), single.Get(), multi.Get()})
            frame->GetRootWindow()->AddChild(window);
        under->SetRect(0, 0, 300, 200);
        single->SetRect(10, 10, 60, 24);
        multi->SetRect(10, 50, 60, 100);
    }
    ~BoxesInAFrame() { frame->Destroy(); }
};

} // namespace

// Window messages of a real frame, measured in a real font: a click focuses
// the box and the typed characters and keys edit its text.
TEST(TypingInAFrame, MessagesToTheFrameEditTheFocusedBoxes)
{
    IGdiFontManager* fonts = IFontManager_GetInstance();
    ASSERT_NE(fonts, nullptr);
    if (fonts->GetFont(L"Default") < 0)
        fonts->AddFont(L"Default", L"Liberation Sans", 14, 0);
    BoxesInAFrame boxes;
    IFrame* frame = boxes.frame.Get();
    IUIWindow* single = boxes.single.Get();
    IUIWindow* multi = boxes.multi.Get();
    HWND window = frame->GetHandle();

    auto typeInto = [&](int x, int y, const wchar_t* text) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        for (const wchar_t* c = text; *c != L'\0'; ++c)
            SendMessageW(window, WM_CHAR, *c, 0);
    };
    typeInto(20, 20, L"typed\tinto a frame");
    SendMessageW(window, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(std::wstring(single->GetTitle()), L"typedinto a fram");
    auto* singleBox = dynamic_cast<CEditBox*>(single);
    EXPECT_LT(singleBox->GetScrollOffset(), 0) << "the text outgrew the 60-pixel box";
    EXPECT_TRUE(singleBox->GetCaret().IsShown());

    typeInto(20, 60, L"wrapped over lines");
    EXPECT_EQ(frame->GetFocusWindow(), multi);
    EXPECT_FALSE(singleBox->GetCaret().IsShown());
    auto* multiBox = dynamic_cast<CMultilineEditBox*>(multi);
    EXPECT_EQ(std::wstring(multi->GetTitle()), L"wrapped over lines");
    EXPECT_GT(multiBox->GetLayout().back().y, 0);
    frame->InvalidateAll();
    UpdateWindow(window);
}

namespace {

// Writes down the frame manager's context-menu requests of both edit boxes.
// The manager outlives the test: its handlers go with the recorder, whichever
// way the test ends.
struct MenuRequests
{
    MenuRequests() = default;
    MenuRequests(const MenuRequests&) = delete;
    MenuRequests& operator=(const MenuRequests&) = delete;
    ~MenuRequests() { IFrameManager_GetInstance()->RemoveObjectDelegates(this); }

    struct tagRequest
    {
        IFrame* frame;
        IUIWindow* box;
        int32_t x, y;
    };
    std::vector<tagRequest> requests;

    void OnSingle(void*, tagEventArgs* args)
    {
        auto* menu = static_cast<tagFrameManagerEditBoxContextMenuEventArgs*>(args);
        requests.push_back({menu->frame.Get(), dynamic_cast<IUIWindow*>(menu->editBox), menu->x, menu->y});
    }
    void OnMulti(void*, tagEventArgs* args)
    {
        auto* menu = static_cast<tagFrameManagerMultilineEditBoxContextMenuEventArgs*>(args);
        requests.push_back({menu->frame.Get(), dynamic_cast<IUIWindow*>(menu->editBox), menu->x, menu->y});
    }
};

} // namespace

// A right press on an edit box focuses it and is taken; the release is taken
// too and asks the frame manager for the box's menu, with the hosting frame.
TEST(TypingInAFrame, ARightClickFocusesTheBoxAndAsksForItsMenu)
{
    BoxesInAFrame boxes;
    IFrame* frame = boxes.frame.Get();
    EventLog behind;
    behind.Watch(boxes.under.Get(), {WINDOW_EVENT_RBUTTON_DOWN, WINDOW_EVENT_RBUTTON_UP});
    MenuRequests menus;
    IFrameManager* manager = IFrameManager_GetInstance();
    manager->AddMemberFunctionDelegate(FRAME_MANAGER_EVENT_EDIT_BOX_CONTEXT_MENU, &menus, &MenuRequests::OnSingle);
    manager->AddMemberFunctionDelegate(FRAME_MANAGER_EVENT_MULTILINE_EDIT_BOX_CONTEXT_MENU, &menus, &MenuRequests::OnMulti);

    struct Row
    {
        int x, y;
        IUIWindow* box; // null: beside the boxes
    };
    const Row rows[] = {{20, 20, boxes.single.Get()}, {30, 70, boxes.multi.Get()}, {200, 150, nullptr}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        menus.requests.clear();
        behind.lines.clear();
        frame->SetFocusWindow(nullptr);
        SendMessageW(frame->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(row.x, row.y));
        EXPECT_EQ(frame->GetFocusWindow(), row.box);
        SendMessageW(frame->GetHandle(), WM_RBUTTONUP, 0, MAKELPARAM(row.x, row.y));
        if (row.box == nullptr) {
            EXPECT_TRUE(menus.requests.empty());
            EXPECT_EQ(behind.lines, (Lines{"under rdown", "under rup"}));
            continue;
        }
        EXPECT_TRUE(behind.lines.empty());
        ASSERT_EQ(menus.requests.size(), 1u);
        EXPECT_EQ(menus.requests[0].frame, frame);
        EXPECT_EQ(menus.requests[0].box, row.box);
        EXPECT_EQ(menus.requests[0].x, row.x);
        EXPECT_EQ(menus.requests[0].y, row.y);
    }
}
