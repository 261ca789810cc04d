#include "tests/installer/ui/UiTestSupport.h"

#include "installer/ui/CCommonDialog.h"
#include "installer/ui/CCursorHelper.h"
#include "installer/ui/MessageDialogFunctions.h"

#include "engine/common/base/ISimpleMessagePump.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"

#include <gtest/gtest.h>

#include <cwchar>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;

namespace {

class MessageDialogs : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_files = std::make_unique<UiTests::UnpackedWindowFiles>(); }
    static void TearDownTestSuite() { s_files.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_files->unpacked);
        owner = IFrame_Create();
        owner->Create(nullptr, WS_POPUP, 0);
        owner->Move(100, 100, 400, 300);
        owner->Show();
        RVGameEngine::Common::ISimpleMessagePump_GetInstance()->AddMemberFunctionDelegate(
            RVGameEngine::Common::ISimpleMessagePump::SimpleMessageReceived, this, &MessageDialogs::OnPumped);
    }
    void TearDown() override
    {
        RVGameEngine::Common::ISimpleMessagePump_GetInstance()->RemoveObjectDelegates(this);
        owner->Destroy();
    }

    void OnPumped(void*, RVGameEngine::Common::tagEventArgs* args)
    {
        const auto* message = static_cast<RVGameEngine::Common::tagSimpleMessagePumpSimpleMessageReceivedEventArgs*>(args);
        if (std::wcscmp(message->name, kDeleteSelfMessage) == 0)
            ++deleteRequests;
    }

    static void PressKey(CCommonDialog* dialog, uint32_t key)
    {
        tagFrameKeyEventArgs args;
        args.virtualKey = key;
        dialog->GetFrame()->Fire(FRAME_EVENT_KEY_DOWN, dialog->GetFrame(), &args);
    }

    static bool WindowGone(CCommonDialog* dialog) { return dialog->GetFrame()->GetHandle() == nullptr; }

    TIntrusivePointer<IFrame> owner;
    int deleteRequests = 0;
    static std::unique_ptr<UiTests::UnpackedWindowFiles> s_files;
};

std::unique_ptr<UiTests::UnpackedWindowFiles> MessageDialogs::s_files;

struct tagKeyRow
{
    uint32_t key;
    bool closes;
    int32_t result;
};

} // namespace

TEST_F(MessageDialogs, KeysCloseTheDialogOnceAndGiveTheOwnerBack)
{
    const tagKeyRow rows[] = {
        {VK_RETURN, true, COMMON_DIALOG_RESULT_OK},
        {VK_ESCAPE, true, COMMON_DIALOG_RESULT_CANCEL},
        {'A', false, COMMON_DIALOG_RESULT_CANCEL},
    };
    for (const tagKeyRow& row : rows) {
        deleteRequests = 0;
        const size_t openBefore = GetOpenDialogCount();
        TIntrusivePointer<CCommonDialog> dialog(ShowMessageDialog(owner, L"message"));
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(owner->IsEnabled()) << row.key;
        EXPECT_STREQ(dialog->GetFrame()->GetName(), kCommonDialogFrameName);
        PressKey(dialog.Get(), row.key);
        UiTests::PumpMessages();
        if (row.closes) {
            // A second press while the close is under way asks for nothing more.
            PressKey(dialog.Get(), row.key);
        } else {
            EXPECT_FALSE(WindowGone(dialog.Get())) << row.key;
            EXPECT_FALSE(dialog->IsDeletePosted()) << row.key;
            dialog->OnCancel(nullptr, nullptr);
        }
        ASSERT_TRUE(UiTests::PumpUntil([&] { return WindowGone(dialog.Get()); })) << row.key;
        EXPECT_EQ(dialog->GetResult(), row.result) << row.key;
        EXPECT_TRUE(owner->IsEnabled()) << row.key;
        ReleaseClosedDialogs();
        EXPECT_EQ(deleteRequests, 1) << row.key;
        EXPECT_EQ(GetOpenDialogCount(), openBefore) << "a closed dialog is released";
    }
}

TEST_F(MessageDialogs, ADialogIsReleasedOnlyAfterItsWindowHasGone)
{
    TIntrusivePointer<CCommonDialog> dialog(ShowMessageDialog(owner, L"message"));
    const size_t open = GetOpenDialogCount();
    dialog->OnOK(nullptr, nullptr);
    // The close request is still queued: the window is there, the dialog stays.
    ReleaseClosedDialogs();
    EXPECT_EQ(GetOpenDialogCount(), open);
    ASSERT_TRUE(UiTests::PumpUntil([&] { return WindowGone(dialog.Get()); }));
    IFrameManager_GetInstance()->Tick();
    EXPECT_EQ(GetOpenDialogCount(), open - 1);
    EXPECT_TRUE(owner->IsEnabled());
}

TEST_F(MessageDialogs, OverAMinimisedOwnerTheDialogStandsAloneOnTop)
{
    owner->Minimize();
    ASSERT_TRUE(UiTests::PumpUntil([&] { return owner->IsMinimized(); }));
    TIntrusivePointer<CCommonDialog> dialog(ShowMessageDialog(owner, L"message"));
    EXPECT_TRUE(dialog->GetFrame()->IsTopMost());
    EXPECT_EQ(GetWindow(dialog->GetFrame()->GetHandle(), GW_OWNER), nullptr);
    EXPECT_TRUE(owner->IsEnabled());
    dialog->OnClose(nullptr, nullptr);
    ASSERT_TRUE(UiTests::PumpUntil([&] { return WindowGone(dialog.Get()); }));
}

// ---- Cursor helper -------------------------------------------------------------------

namespace {

enum enmExpectedCursor
{
    CURSOR_DEFAULT,
    CURSOR_HAND,
    CURSOR_BEAM,
};

struct tagCursorRow
{
    const wchar_t* element;
    enmExpectedCursor expected;
};

} // namespace

TEST_F(MessageDialogs, TheCursorFollowsTheControlUnderIt)
{
    const tagCursorRow rows[] = {
        {L"<Button Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\"/>", CURSOR_HAND},
        {L"<Button Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\" Enable=\"false\"/>", CURSOR_DEFAULT},
        {L"<Button Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\" Tag2=\"NotSetCursor\"/>", CURSOR_DEFAULT},
        {L"<Button Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\" Tag2=\"notsetcursor\"/>", CURSOR_HAND},
        {L"<CheckBox Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\"/>", CURSOR_HAND},
        {L"<EditBox Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\"/>", CURSOR_BEAM},
        {L"<Label Name=\"c\" X=\"0\" Y=\"0\" Width=\"40\" Height=\"20\"/>", CURSOR_DEFAULT},
    };
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
    for (const tagCursorRow& row : rows) {
        UITest::WriteUtf16(s_files->folder.Child(L"cursor.xml"), row.element);
        TIntrusivePointer<IFrame> frame = IFrame_Create();
        frame->Create(nullptr, WS_POPUP, 0);
        frame->LoadUI(L"cursor.xml");
        frame->Move(0, 0, 60, 40);
        frame->Show();
        CCursorHelper::GetInstance()->AttachFrame(frame);
        CCursorHelper::GetInstance()->AttachFrame(frame);
        tagFrameSetCursorEventArgs args;
        args.x = 10;
        args.y = 10;
        const TIntrusivePointer<IUIWindow> control(frame->GetRootWindow()->FindWindow(L"c"));
        const int32_t references = control->GetReferenceCount();
        frame->Fire(FRAME_EVENT_SET_CURSOR, frame.Get(), &args);
        // The helper keeps no window once the event is over: a closed
        // dialog's controls go with their frame.
        EXPECT_EQ(control->GetReferenceCount(), references) << row.element;
        const HCURSOR expected = row.expected == CURSOR_HAND ? hand : row.expected == CURSOR_BEAM ? beam : nullptr;
        EXPECT_EQ(args.handled, row.expected != CURSOR_DEFAULT) << row.element;
        EXPECT_EQ(args.cursor ? args.cursor->GetHandle() : nullptr, expected) << row.element;

        // A disabled frame (under a modal dialog) and a detached one keep the default.
        for (bool detach : {false, true}) {
            if (detach) {
                frame->Enable();
                CCursorHelper::GetInstance()->DetachFrame(frame);
            } else {
                frame->Disable();
            }
            tagFrameSetCursorEventArgs again;
            again.x = 10;
            again.y = 10;
            frame->Fire(FRAME_EVENT_SET_CURSOR, frame.Get(), &again);
            EXPECT_FALSE(again.handled) << row.element << (detach ? " detached" : " disabled");
        }
        frame->Destroy();
    }
}
