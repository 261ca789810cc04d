#include "engine/directui/IFrame.h"
#include "engine/directui/IFrameManager.h"
#include "tests/engine/directui/FrameTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;

namespace {

bool IsRegistered(IFrame* frame)
{
    auto frames = IFrameManager_GetInstance()->GetFrames();
    for (int i = 0; i < frames->GetCount(); ++i) {
        if (frames->GetAtAs<IFrame>(i).Get() == frame)
            return true;
    }
    return false;
}

} // namespace

TEST(Frame, ClassCreateMoveTitleAndCreateAgain)
{
    RVTest::StartFrames();
    WNDCLASSW frameClass = {};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"RVFRAME", &frameClass));
    // Double clicks reach the frame only through the class style.
    EXPECT_EQ(frameClass.style, 0x082Bu);
    EXPECT_EQ(IFrameManager_GetInstance()->Initialize(), 0);
    // Windows of the class work before any frame takes them over.
    HWND bare = CreateWindowExW(0, L"RVFRAME", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_TRUE(DestroyWindow(bare));

    auto frame = IFrame_Create();
    frame->Create(nullptr, WS_POPUP, 0);
    const HWND first = frame->GetHandle();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsRegistered(frame.Get()));
    frame->Move(20, 30, 200, 100);
    Gdiplus::Graphics* graphics = frame->GetGraphics();
    ASSERT_NE(graphics, nullptr);
    frame->SetX(25);
    frame->SetHeight(100);
    EXPECT_EQ(std::vector<int>({frame->GetX(), frame->GetY(), frame->GetWidth(), frame->GetHeight()}),
              std::vector<int>({25, 30, 200, 100}));
    // The same size keeps the buffer and the graphics drawn on it.
    EXPECT_EQ(frame->GetGraphics(), graphics);
    // The title is read through a bounded buffer.
    frame->SetTitle(std::wstring(1200, L'x').c_str());
    EXPECT_EQ(std::wstring(frame->GetTitle()), std::wstring(999, L'x'));

    frame->Create(nullptr, WS_POPUP, 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(frame->GetHandle(), nullptr);
    EXPECT_TRUE(IsRegistered(frame.Get()));
    // A window that cannot be made leaves nothing registered.
    frame->Create(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFE0)), WS_CHILD, 0);
    EXPECT_EQ(frame->GetHandle(), nullptr);
    EXPECT_FALSE(IsRegistered(frame.Get()));
}

TEST(Frame, CentresItsBoundingRectangleOnTheTarget)
{
    auto frame = RVTest::MakeFrame(0, 0, 301, 201);
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    frame->CenterOnScreen();
    EXPECT_EQ(frame->GetX(), work.left + (work.right - work.left) / 2 - 150);
    EXPECT_EQ(frame->GetY(), work.top + (work.bottom - work.top) / 2 - 100);

    auto a = RVTest::MakeFrame(100, 100, 100, 100);
    auto b = RVTest::MakeFrame(300, 200, 100, 100);
    HWND windows[] = {a->GetHandle(), b->GetHandle()};
    frame->CenterOnWindows(windows, 2); // the union runs from (100, 100) to (400, 300)
    EXPECT_EQ(frame->GetX(), 250 - 150);
    EXPECT_EQ(frame->GetY(), 200 - 100);
    frame->CenterOnFrame(a.Get());
    EXPECT_EQ(frame->GetX(), 150 - 150);
    EXPECT_EQ(frame->GetY(), 150 - 100);
    EXPECT_EQ(frame->GetWidth(), 301);
}

TEST(Frame, AttachedFramesFollowTheirFrame)
{
    auto frame = RVTest::MakeFrame(100, 100, 200, 100);
    auto follower = RVTest::MakeFrame(0, 0, 30, 20);
    auto independent = RVTest::MakeFrame(0, 0, 30, 20);
    frame->AttachFrame(5, 6, follower.Get());
    frame->AttachFrameIndependent(-40, 0, independent.Get());
    // Neither the frame itself nor nothing can be attached.
    frame->AttachFrame(1, 1, frame.Get());
    frame->AttachFrame(1, 1, nullptr);
    EXPECT_EQ(follower->GetX(), 105);
    EXPECT_EQ(follower->GetY(), 106);

    frame->Move(300, 50, 200, 100);
    EXPECT_EQ(follower->GetX(), 305);
    EXPECT_EQ(follower->GetY(), 56);
    EXPECT_EQ(independent->GetX(), 260);
    frame->MoveAttachedFrame(follower.Get(), 0, 0);
    EXPECT_EQ(follower->GetX(), 300);
    EXPECT_EQ(follower->GetWidth(), 30);

    frame->Show();
    EXPECT_TRUE(follower->IsVisible());
    EXPECT_FALSE(independent->IsVisible());
    independent->Show();
    frame->Hide();
    EXPECT_FALSE(follower->IsVisible());
    EXPECT_TRUE(independent->IsVisible());

    // A hidden frame stays enabled; its shown attached frames do not.
    frame->Disable();
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_TRUE(follower->IsEnabled());
    EXPECT_FALSE(independent->IsEnabled());
    frame->Enable();
    EXPECT_TRUE(independent->IsEnabled());

    frame->DetachFrame(follower.Get());
    frame->Move(0, 0, 200, 100);
    EXPECT_EQ(follower->GetX(), 300);
}

namespace {

// Drives a modal display from inside its loop: each tick runs the next step.
struct ModalScript
{
    IFrame* owner = nullptr;
    IFrame* modal = nullptr;
    int step = 0;
    bool cancel = true;
    bool ownerDisabledWhileOpen = false;
    bool ownerDisabledAfterCancel = false;
    bool ownerEnabledOnClose = false;

    void OnTick(void*, Common::tagEventArgs*)
    {
        if (step == 0) {
            ownerDisabledWhileOpen = !owner->IsEnabled();
            SendMessageW(modal->GetHandle(), WM_CLOSE, 0, 0);
            ownerDisabledAfterCancel = !owner->IsEnabled();
            cancel = false;
            modal->PostMessage();
        }
        ++step;
    }
    void OnClose(void*, Common::tagEventArgs* args) { static_cast<tagFrameCloseEventArgs*>(args)->cancel = cancel; }
    void OnClosed(void*, Common::tagEventArgs*) { ownerEnabledOnClose = owner->IsEnabled(); }
};

} // namespace

TEST(Frame, ModalDisplayRunsUntilItsWindowIsGone)
{
    auto owner = RVTest::MakeFrame(0, 0, 300, 200);
    owner->Show();
    auto modal = RVTest::MakeFrame(50, 50, 100, 80);
    ModalScript script;
    script.owner = owner.Get();
    script.modal = modal.Get();
    IFrameManager* manager = IFrameManager_GetInstance();
    manager->AddMemberFunctionDelegate<ModalScript>(FRAME_MANAGER_EVENT_FRAME_MOVE, &script, &ModalScript::OnTick);
    modal->AddMemberFunctionDelegate<ModalScript>(FRAME_EVENT_CLOSE, &script, &ModalScript::OnClose);
    modal->AddMemberFunctionDelegate<ModalScript>(FRAME_EVENT_CLOSED, &script, &ModalScript::OnClosed);
    modal->ShowModal(owner.Get());
    manager->RemoveObjectDelegates(&script);
    EXPECT_TRUE(script.ownerDisabledWhileOpen);
    // A cancelled close keeps the display, owner disabled.
    EXPECT_TRUE(script.ownerDisabledAfterCancel);
    EXPECT_TRUE(script.ownerEnabledOnClose);
    EXPECT_EQ(modal->GetHandle(), nullptr);
    EXPECT_EQ(modal->GetOwnerFrame(), nullptr);
    EXPECT_TRUE(owner->IsEnabled());

    // Without a window there is nothing to wait for.
    auto windowless = IFrame_Create();
    windowless->ShowModal(owner.Get());
    EXPECT_TRUE(owner->IsEnabled());
}

TEST(Frame, ModelessDisplayDisablesItsOwnersUntilItCloses)
{
    auto owner = RVTest::MakeFrame(0, 0, 300, 200);
    auto other = RVTest::MakeFrame(0, 0, 300, 200);
    auto hidden = RVTest::MakeFrame(0, 0, 300, 200);
    owner->Show();
    other->Show();
    auto dialog = RVTest::MakeFrame(50, 50, 100, 80);
    dialog->ShowModeless(owner.Get());
    EXPECT_TRUE(dialog->IsVisible());
    EXPECT_FALSE(owner->IsEnabled());
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrW(dialog->GetHandle(), GWLP_HWNDPARENT)), owner->GetHandle());
    SendMessageW(dialog->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(owner->IsEnabled());

    auto overWindows = RVTest::MakeFrame(50, 50, 100, 80);
    HWND windows[] = {other->GetHandle(), hidden->GetHandle()};
    overWindows->ShowModelessOverWindows(windows, 2);
    EXPECT_FALSE(other->IsEnabled());
    EXPECT_TRUE(hidden->IsEnabled());
    overWindows->Destroy();
    EXPECT_TRUE(other->IsEnabled());
}
