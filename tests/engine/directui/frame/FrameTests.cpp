#include "engine/directui/frame/CFrame.h"
#include "engine/directui/frame/CFrameManager.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
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
    auto hidden = RVTest::MakeFrame(0, 0, 300, 200);
    owner->Show();
    auto dialog = RVTest::MakeFrame(50, 50, 100, 80);
    dialog->ShowModeless(owner.Get());
    EXPECT_TRUE(dialog->IsVisible());
    EXPECT_FALSE(owner->IsEnabled());
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrW(dialog->GetHandle(), GWLP_HWNDPARENT)), owner->GetHandle());
    SendMessageW(dialog->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(owner->IsEnabled());

    // Over a list of windows, only the shown ones are disabled.
    HWND windows[] = {owner->GetHandle(), hidden->GetHandle()};
    auto overWindows = RVTest::MakeFrame(50, 50, 100, 80);
    overWindows->ShowModelessOverWindows(windows, 2);
    EXPECT_FALSE(owner->IsEnabled());
    EXPECT_TRUE(hidden->IsEnabled());
    overWindows->Destroy();
    EXPECT_TRUE(owner->IsEnabled());
}

namespace {

int32_t g_nowMs = 0;
std::vector<DWORD> g_sleeps;

CFrameManager* Manager()
{
    RVTest::StartFrames();
    return CFrameManager::GetInstance();
}

// Runs a function on every tick of the manager while it lives.
class TickHook
{
public:
    explicit TickHook(std::function<void(int32_t)> onTick) : m_onTick(std::move(onTick))
    {
        Manager()->AddMemberFunctionDelegate<TickHook>(FRAME_MANAGER_EVENT_FRAME_MOVE, this, &TickHook::OnTick);
    }
    ~TickHook() { Manager()->RemoveObjectDelegates(this); }
    void OnTick(void*, Common::tagEventArgs* args)
    {
        m_onTick(static_cast<tagFrameManagerFrameMoveEventArgs*>(args)->elapsedMs);
    }

private:
    std::function<void(int32_t)> m_onTick;
};

struct FrameTickCounter
{
    int ticks = 0;
    int32_t lastElapsed = -1;
    void OnTick(void*, Common::tagEventArgs* args)
    {
        ++ticks;
        lastElapsed = static_cast<tagFrameFrameMoveEventArgs*>(args)->elapsedMs;
    }
};

} // namespace

TEST(FrameLoop, TicksPauseWhenTheyComeTooFast)
{
    CFrameManager* manager = Manager();
    manager->SetTimeFunctions([] { return g_nowMs; }, [](DWORD milliseconds) { g_sleeps.push_back(milliseconds); });
    auto frame = RVTest::MakeFrame(0, 0, 20, 20);
    FrameTickCounter counter;
    frame->AddMemberFunctionDelegate<FrameTickCounter>(FRAME_EVENT_FRAME_MOVE, &counter, &FrameTickCounter::OnTick);
    std::vector<int32_t> managerElapsed;
    TickHook hook([&](int32_t elapsed) { managerElapsed.push_back(elapsed); });

    struct TickCase
    {
        int32_t now;
        bool sleeps;
    };
    const TickCase cases[] = {
        {1000, false}, // sets the start; its own result is not checked
        {1003, true},
        {1012, true},
        {1022, false},
        {1500, false},
        {1500, true},
        {INT32_MIN + 4, false}, // the clock wrapped: a long pause, no sleep
        {INT32_MAX - 1, true},   // ... and a clock going back is no pause at all
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        SCOPED_TRACE(i);
        g_nowMs = cases[i].now;
        g_sleeps.clear();
        managerElapsed.clear();
        manager->Tick();
        if (i == 0)
            continue;
        ASSERT_EQ(managerElapsed.size(), 1u);
        const int32_t expected = static_cast<int32_t>(static_cast<uint32_t>(cases[i].now) -
                                                      static_cast<uint32_t>(cases[i - 1].now));
        EXPECT_EQ(managerElapsed[0], expected);
        EXPECT_EQ(counter.lastElapsed, expected);
        EXPECT_EQ(g_sleeps, cases[i].sleeps ? std::vector<DWORD>{1} : std::vector<DWORD>{});
    }
    manager->SetTimeFunctions(nullptr, nullptr);
    frame->RemoveObjectDelegates(&counter);
}

TEST(FrameLoop, EndsAtQuitEvenWithMessagesQueuedBehindIt)
{
    CFrameManager* manager = Manager();
    auto frame = RVTest::MakeFrame(0, 0, 20, 20);
    RVTest::FrameEventRecorder recorder(frame.Get());
    RVTest::PumpMessages();
    recorder.Clear();
    PostMessageW(frame->GetHandle(), WM_USER + 1, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
    PostMessageW(frame->GetHandle(), WM_USER + 2, 0, 0);
    manager->RunMessageLoop(frame.Get(), false);
    ASSERT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(recorder.Events()[0].message, static_cast<UINT>(WM_USER + 1));
    RVTest::PumpMessages();
    ASSERT_EQ(recorder.Events().size(), 2u);
    EXPECT_EQ(recorder.Events()[1].message, static_cast<UINT>(WM_USER + 2));
}

TEST(FrameLoop, EndsWhenItsFrameIsDestroyedAndNestedLoopsRestoreTheOuterFrame)
{
    CFrameManager* manager = Manager();
    auto outer = RVTest::MakeFrame(0, 0, 20, 20);
    auto inner = RVTest::MakeFrame(0, 0, 20, 20);
    auto bystander = RVTest::MakeFrame(0, 0, 20, 20);
    int ticks = 0;
    bool innerRan = false;
    IFrame* afterInner = nullptr;
    TickHook hook([&](int32_t) {
        ++ticks;
        if (ticks == 1) {
            // A frame that is not the loop's does not end it.
            bystander->Destroy();
        } else if (ticks == 3 && !innerRan) {
            innerRan = true;
            TickHook innerHook([&](int32_t) { inner->Destroy(); });
            manager->RunMessageLoop(inner.Get(), true);
            afterInner = manager->GetMainFrame();
        } else if (ticks == 6) {
            outer->Destroy();
        }
    });
    manager->RunMessageLoop(outer.Get(), true);
    EXPECT_GE(ticks, 6);
    EXPECT_TRUE(innerRan);
    EXPECT_EQ(afterInner, outer.Get());
    EXPECT_EQ(manager->GetMainFrame(), nullptr);
}

TEST(FrameLoop, EndsWhenItsFrameIsReleased)
{
    CFrameManager* manager = Manager();
    auto frame = RVTest::MakeFrame(0, 0, 20, 20);
    IFrame* loopFrame = frame.Get();
    int ticks = 0;
    TickHook hook([&](int32_t) {
        if (++ticks == 2)
            frame = Common::TIntrusivePointer<IFrame>();
    });
    manager->RunMessageLoop(loopFrame, true);
    EXPECT_EQ(ticks, 2);
}

TEST(FrameLoop, TickSurvivesHandlersThatChangeTheFrames)
{
    CFrameManager* manager = Manager();
    std::vector<Common::TIntrusivePointer<IFrame>> frames;
    for (int i = 0; i < 4; ++i)
        frames.push_back(RVTest::MakeFrame(0, 0, 20, 20));
    std::vector<FrameTickCounter> counters(4);
    for (int i = 0; i < 4; ++i)
        frames[i]->AddMemberFunctionDelegate<FrameTickCounter>(FRAME_EVENT_FRAME_MOVE, &counters[i],
                                                               &FrameTickCounter::OnTick);
    // Frames tick in handle order: the last one has not ticked yet when the
    // first one's handler drops every frame, makes a new one and destroys
    // the last one's window.
    size_t last = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        if (reinterpret_cast<uintptr_t>(frames[i]->GetHandle()) > reinterpret_cast<uintptr_t>(frames[last]->GetHandle()))
            last = i;
    }
    struct Wrecker
    {
        std::vector<Common::TIntrusivePointer<IFrame>>* frames;
        size_t last;
        Common::TIntrusivePointer<IFrame> made;
        void OnTick(void*, Common::tagEventArgs*)
        {
            if (made)
                return;
            made = RVTest::MakeFrame(0, 0, 20, 20);
            (*frames)[last]->Destroy();
            frames->clear();
        }
    } wrecker{&frames, last, {}};
    for (auto& frame : frames)
        frame->AddMemberFunctionDelegate<Wrecker>(FRAME_EVENT_FRAME_MOVE, &wrecker, &Wrecker::OnTick);
    auto ticked = [&counters] {
        int sum = 0;
        for (const FrameTickCounter& counter : counters)
            sum += counter.ticks;
        return sum;
    };
    manager->Tick();
    // The first frame ticked and wrecked; of the rest, the ones still
    // registered ticked once, the destroyed one not at all.
    EXPECT_EQ(counters[last].ticks, 0);
    EXPECT_EQ(ticked(), 3);
    EXPECT_TRUE(frames.empty());
    manager->Tick();
    EXPECT_EQ(ticked(), 3);
}

TEST(FrameLoop, FindFrameTakesTheSmallestHandleOfThatName)
{
    auto a = RVTest::MakeFrame(0, 0, 20, 20);
    auto b = RVTest::MakeFrame(0, 0, 20, 20);
    a->SetName(L"Twin");
    b->SetName(L"Twin");
    IFrame* smaller = reinterpret_cast<uintptr_t>(a->GetHandle()) < reinterpret_cast<uintptr_t>(b->GetHandle())
                          ? a.Get()
                          : b.Get();
    EXPECT_EQ(IFrameManager_GetInstance()->FindFrame(L"Twin").Get(), smaller);
    EXPECT_TRUE(IFrameManager_GetInstance()->FindFrame(L"twin").IsNull());
    EXPECT_TRUE(IFrameManager_GetInstance()->FindFrame(L"Nobody").IsNull());
}

namespace {

enum class OuterEnd { Destroyed, Released };

struct NestedLoopCase
{
    const char* name;
    bool modalOverOuter;
    OuterEnd outerEnd;
};

} // namespace

// The outer loop's frame goes while a modal loop runs: once the modal display
// ends, the outer loop ends too instead of running for a frame that is gone.
TEST(FrameLoop, OuterLoopEndsAfterTheModalOneWhenItsFrameWentMeanwhile)
{
    const NestedLoopCase cases[] = {
        {"outer destroyed, modal owned by it", true, OuterEnd::Destroyed},
        {"outer destroyed, modal alone", false, OuterEnd::Destroyed},
        {"outer released, modal alone", false, OuterEnd::Released},
    };
    CFrameManager* manager = Manager();
    for (const NestedLoopCase& row : cases) {
        SCOPED_TRACE(row.name);
        auto outer = RVTest::MakeFrame(0, 0, 40, 40);
        IFrame* loopFrame = outer.Get();
        auto modal = RVTest::MakeFrame(10, 10, 20, 20);
        int ticks = 0;
        int ticksAfterModal = 0;
        bool modalReturned = false;
        bool keptRunning = false;
        TickHook hook([&](int32_t) {
            ++ticks;
            if (modalReturned) {
                // Bounded: a loop that should have ended is ended here.
                if (++ticksAfterModal > 50) {
                    keptRunning = true;
                    manager->Quit();
                }
                return;
            }
            if (ticks == 1) {
                modal->ShowModal(row.modalOverOuter ? outer.Get() : nullptr);
                modalReturned = true;
            } else if (ticks == 3) {
                if (row.outerEnd == OuterEnd::Destroyed)
                    outer->Destroy();
                else
                    outer.Reset();
            } else if (ticks == 5 && modal->GetHandle() != nullptr) {
                modal->Destroy();
            }
        });
        manager->RunMessageLoop(loopFrame, true);
        EXPECT_TRUE(modalReturned);
        EXPECT_FALSE(keptRunning);
        RVTest::PumpMessages();
    }
}

namespace {

struct ModalEndCase
{
    const char* name;
    std::function<void(IFrame* modal)> end;
};

} // namespace

// However the modal loop ends, the owner is usable again afterwards.
TEST(Frame, ModalDisplayGivesItsOwnerBackHoweverItsLoopEnds)
{
    const ModalEndCase cases[] = {
        {"closed", [](IFrame* modal) { modal->PostMessage(); }},
        {"destroyed", [](IFrame* modal) { modal->Destroy(); }},
        {"quit message", [](IFrame*) { IFrameManager_GetInstance()->Quit(); }},
    };
    for (const ModalEndCase& row : cases) {
        SCOPED_TRACE(row.name);
        auto owner = RVTest::MakeFrame(0, 0, 300, 200);
        owner->Show();
        auto modal = RVTest::MakeFrame(50, 50, 100, 80);
        bool ownerDisabled = false;
        int ticks = 0;
        TickHook hook([&](int32_t) {
            if (++ticks == 1) {
                ownerDisabled = !owner->IsEnabled();
                row.end(modal.Get());
            }
        });
        modal->ShowModal(owner.Get());
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(owner->IsEnabled());
        EXPECT_EQ(modal->GetOwnerFrame(), nullptr);
        modal->Destroy();
        RVTest::PumpMessages();
    }
}

namespace {

// Drops the test's only reference to the frame from inside its own event.
struct LastReferenceDropper
{
    Common::TIntrusivePointer<IFrame>* frame;
    int drops = 0;
    void OnEvent(void*, Common::tagEventArgs*)
    {
        if (frame->IsNull())
            return;
        ++drops;
        frame->Reset();
    }
};

} // namespace

// Showing activates and focuses the window; a handler of those events may let
// the frame go, and Show must not go on with a freed frame.
TEST(Frame, ShowSurvivesAHandlerThatDropsTheLastReference)
{
    auto frame = RVTest::MakeFrame(0, 0, 40, 40);
    IFrame* shown = frame.Get();
    LastReferenceDropper dropper{&frame};
    frame->AddMemberFunctionDelegate<LastReferenceDropper>(FRAME_EVENT_ACTIVATE, &dropper, &LastReferenceDropper::OnEvent);
    frame->AddMemberFunctionDelegate<LastReferenceDropper>(FRAME_EVENT_SET_FOCUS, &dropper, &LastReferenceDropper::OnEvent);
    shown->Show();
    EXPECT_EQ(dropper.drops, 1);
    RVTest::PumpMessages();
}
