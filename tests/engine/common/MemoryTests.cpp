#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/Memory.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "tests/support/ExpectEngineFatal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

// Reads the raw block around a data pointer handed out by EngineAlloc.
// Not inlined: the compiler would otherwise flag the step back before the
// object it can see being allocated.
__attribute__((noinline)) const unsigned char* BlockOf(const void* data)
{
    return reinterpret_cast<const unsigned char*>(reinterpret_cast<uintptr_t>(data) - 8);
}

uint32_t SizeField(const void* data)
{
    uint32_t size = 0;
    std::memcpy(&size, BlockOf(data) + 4, 4);
    return size;
}

struct Tracked : IReferenceCounted
{
    explicit Tracked(int* deletions) : deletions(deletions) {}
    ~Tracked() override { ++*deletions; }
    int* deletions;
};

} // namespace

TEST(EngineAlloc, BlockLayoutGlobalPoolAndOperatorNew)
{
    unsigned char* data = static_cast<unsigned char*>(EngineAlloc(5));
    ASSERT_NE(data, nullptr);
    const unsigned char* block = BlockOf(data);
    EXPECT_EQ(SizeField(data), 5u);
    for (int i : {0, 1, 2, 3, 8, 12, 13, 20})
        EXPECT_EQ(block[i], 0) << "byte " << i;
    std::memset(data, 0xAB, 5); // an exact-size write is fine
    EngineFree(data);
    EngineFree(nullptr);
    void* zero = EngineAlloc(0);
    EXPECT_EQ(SizeField(zero), 1u);
    EngineFree(zero);

    const int32_t before = GetGlobalLeak();
    void* global = EngineGlobalAlloc(100, "test");
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(GetGlobalLeak(), before + 100);
    EXPECT_EQ(static_cast<unsigned char*>(global)[99], 0);
    EngineGlobalFree(global);
    EXPECT_EQ(GetGlobalLeak(), before);

    std::vector<int>* values = new std::vector<int>(3, 7);
    EXPECT_EQ(SizeField(values), sizeof(std::vector<int>));
    delete values;
}

TEST(IntrusivePointer, CountsAssignmentAndTheLastReleaseDeletes)
{
    int deletions = 0;
    TIntrusivePointer<Tracked> first(new Tracked(&deletions), true);
    TIntrusivePointer<Tracked> second = first;
    first = *&first;
    EXPECT_EQ(first->GetReferenceCount(), 2);
    TIntrusivePointer<IReferenceCounted> base(new Tracked(&deletions), true);
    base = first; // drops the old object
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(first->GetReferenceCount(), 3);
    base.Reset();
    first.Reset();
    Tracked* raw = second.Get();
    raw->AddRef();
    second.Reset();
    EXPECT_EQ(deletions, 1);
    EXPECT_TRUE(raw->Release());
    EXPECT_EQ(deletions, 2);
}

TEST(IntrusivePointer, ThreadsSharingAnObjectLoseNoCountChange)
{
    int deletions = 0;
    TIntrusivePointer<Tracked> shared(new Tracked(&deletions), true);
    std::vector<std::thread> threads;
    std::atomic<int> waiting{4};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared, &waiting] {
            // All start together, so that their changes really overlap.
            for (--waiting; waiting > 0;)
                std::this_thread::yield();
            for (int i = 0; i < 1000000; ++i) {
                TIntrusivePointer<Tracked> copy = shared;
                copy.Reset();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(shared->GetReferenceCount(), 1);
    EXPECT_EQ(deletions, 0);
}

TEST(IntrusivePointer, AssigningFromAnObjectOwnedByTheOldTargetKeepsItAlive)
{
    // The old object is the only owner of the new one: the new pointer must
    // be taken before the old object goes, by copy and by move alike.
    struct Owner : IReferenceCounted
    {
        TIntrusivePointer<IReferenceCounted> child;
    };
    for (bool move : {false, true}) {
        int deletions = 0;
        TIntrusivePointer<IReferenceCounted> holder(new Owner, true);
        Owner* owner = static_cast<Owner*>(holder.Get());
        owner->child = TIntrusivePointer<IReferenceCounted>(new Tracked(&deletions), true);
        if (move)
            holder = std::move(owner->child);
        else
            holder = owner->child;
        EXPECT_EQ(deletions, 0) << move;
        EXPECT_EQ(holder->GetReferenceCount(), 1) << move;
        holder.Reset();
        EXPECT_EQ(deletions, 1) << move;
    }
}

TEST(EngineDeathTest, GuardDamageEmptyAccessAndDeadReleaseStopTheProgram)
{
    EXPECT_ENGINE_FATAL({
        unsigned char* data = static_cast<unsigned char*>(EngineAlloc(16));
        data[16] = 1;
        EngineFree(data);
    });
    EXPECT_ENGINE_FATAL({
        unsigned char* data = static_cast<unsigned char*>(EngineAlloc(16));
        data[-8] = 1;
        EngineFree(data);
    });
    TIntrusivePointer<Tracked> empty;
    EXPECT_FALSE(empty);
    EXPECT_ENGINE_FATAL(empty->AddRef());
    EXPECT_ENGINE_FATAL({
        int deletions = 0;
        Tracked* dead = new Tracked(&deletions); // never referenced: its count is 0
        dead->Release();
    });
}
