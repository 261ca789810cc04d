#include "engine/common/base/CSimpleMessagePump.h"
#include "engine/common/base/TMemberFunctionEventDelegate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

struct Recorder
{
    explicit Recorder(ISimpleMessagePump* pump) : m_pump(pump)
    {
        pump->Subscribe(ISimpleMessagePump::SimpleMessageReceived,
                        new TMemberFunctionEventDelegate<Recorder>(this, &Recorder::OnMessage));
    }

    void OnMessage(void* sender, tagEventArgs* args)
    {
        EXPECT_EQ(sender, m_pump);
        auto* message = static_cast<tagSimpleMessagePumpSimpleMessageReceivedEventArgs*>(args);
        lines.push_back(std::wstring(message->name) + L' ' + std::to_wstring(message->value1) + L' ' +
                        std::to_wstring(message->value2) + L' ' + message->text1 + L' ' + message->text2);
        // A "Chain" message asks for one more, posted from inside the handler.
        if (std::wstring(message->name) == L"Chain" && message->value1 > 0)
            m_pump->Post(L"Chain", message->value1 - 1, 0, nullptr, nullptr);
    }

    ISimpleMessagePump* m_pump;
    // Each message as "name value1 value2 text1 text2".
    std::vector<std::wstring> lines;
};

} // namespace

TEST(SimpleMessagePump, DeliversInPostingOrderWithCopiedFieldsAndHandlersPostsToo)
{
    TIntrusivePointer<ISimpleMessagePump> pump(new CSimpleMessagePump());
    Recorder recorder(pump.Get());
    std::wstring text = L"first";
    pump->Post(L"One", 1, 10, text.c_str(), L"x");
    text = L"changed after posting";
    pump->Post(nullptr, 3, 30, nullptr, L"y");
    pump->Post(L"Chain", 2, 0, nullptr, nullptr);
    pump->Post(L"After", 0, 0, nullptr, nullptr);
    EXPECT_TRUE(recorder.lines.empty()); // nothing happens until Dispatch

    // A message posted by a handler is delivered by the same Dispatch, after
    // those queued before it.
    pump->Dispatch();
    EXPECT_EQ(recorder.lines, (std::vector<std::wstring>{L"One 1 10 first x", L" 3 30  y", L"Chain 2 0  ",
                                                         L"After 0 0  ", L"Chain 1 0  ", L"Chain 0 0  "}));
    pump->Dispatch();
    EXPECT_EQ(recorder.lines.size(), 6u);
}

TEST(SimpleMessagePump, ManyThreadsPostingLoseNothingAndKeepTheirOrder)
{
    constexpr uint32_t kThreads = 6;
    constexpr uint32_t kPerThread = 3000;
    TIntrusivePointer<ISimpleMessagePump> pump(new CSimpleMessagePump());
    Recorder recorder(pump.Get());

    std::atomic<uint32_t> finished(0);
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pump, &finished, t] {
            for (uint32_t i = 0; i < kPerThread; ++i)
                pump->Post(L"Work", t, i, L"payload", nullptr);
            ++finished;
        });
    }
    // Drain while the posters are still busy, so taking and posting overlap.
    while (finished.load() < kThreads)
        pump->Dispatch();
    for (std::thread& thread : threads)
        thread.join();
    pump->Dispatch();

    ASSERT_EQ(recorder.lines.size(), size_t(kThreads) * kPerThread);
    std::vector<uint32_t> next(kThreads, 0);
    for (const std::wstring& line : recorder.lines) {
        uint32_t t = kThreads;
        swscanf(line.c_str(), L"Work %u", &t);
        ASSERT_LT(t, kThreads) << line;
        ASSERT_EQ(line, L"Work " + std::to_wstring(t) + L' ' + std::to_wstring(next[t]++) + L" payload ");
    }
}

TEST(SimpleMessagePump, TheProcessPumpSurvivesCountedPointers)
{
    ISimpleMessagePump* pump = ISimpleMessagePump_GetInstance();
    ASSERT_TRUE(pump != nullptr && ISimpleMessagePump_GetInstance() == pump);
    { TIntrusivePointer<ISimpleMessagePump> held(pump); }
    // Still alive and working after the last counted pointer let go.
    pump->Post(L"DeleteSelf", 1, 0, L"", L"");
    pump->Dispatch();
    EXPECT_GE(pump->GetReferenceCount(), 1);
}
