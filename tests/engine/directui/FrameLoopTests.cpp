#include "engine/directui/CFrame.h"
#include "engine/directui/CFrameManager.h"
#include "engine/directui/IFrameManager.h"
#include "tests/engine/directui/FrameTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;

namespace {

int32_t g_nowMs = 0;
std::vector<DWORD> g_sleeps;

int32_t FakeClock()
{
    return g_nowMs;
}

void FakeSleep(DWORD milliseconds)
{
    g_sleeps.push_back(milliseconds);
}

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
    manager->SetTimeFunctions(FakeClock, FakeSleep);
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
