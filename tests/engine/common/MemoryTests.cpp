#include "engine/common/IReferenceCounted.h"
#include "engine/common/Memory.h"
#include "engine/common/TIntrusivePointer.h"
#include "tests/support/ExpectEngineFatal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

// Reads the raw block around a data pointer handed out by EngineAlloc.
// Not inlined: the compiler would otherwise flag the step back before the
// object it can see being allocated.
__attribute__((noinline)) const unsigned char* BlockOf(void* data)
{
    return reinterpret_cast<const unsigned char*>(reinterpret_cast<uintptr_t>(data) - 8);
}

class Tracked : public IReferenceCounted
{
public:
    explicit Tracked(int* deletions) : m_deletions(deletions) {}
    ~Tracked() override { ++*m_deletions; }

private:
    int* m_deletions;
};

} // namespace

TEST(EngineAlloc, BlockLayoutHasSizeGuardsAndZeroedData)
{
    void* data = EngineAlloc(5);
    ASSERT_NE(data, nullptr);
    const unsigned char* block = BlockOf(data);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block[i], 0);
    uint32_t size = 0;
    std::memcpy(&size, block + 4, 4);
    EXPECT_EQ(size, 5u);
    for (int i = 8; i < 8 + 5 + 8; ++i)
        EXPECT_EQ(block[i], 0) << "byte " << i;
    EngineFree(data);
}

TEST(EngineAlloc, ZeroSizeGivesOneUsableByte)
{
    unsigned char* data = static_cast<unsigned char*>(EngineAlloc(0));
    ASSERT_NE(data, nullptr);
    uint32_t size = 0;
    std::memcpy(&size, BlockOf(data) + 4, 4);
    EXPECT_EQ(size, 1u);
    data[0] = 0x7F;
    EngineFree(data);
}

TEST(EngineAlloc, FreeOfNullAndExactSizeWritesAreAccepted)
{
    EngineFree(nullptr);
    unsigned char* data = static_cast<unsigned char*>(EngineAlloc(16));
    std::memset(data, 0xAB, 16);
    EngineFree(data);
}

TEST(EngineAllocDeathTest, WriteBehindTheBlockStopsTheProgram)
{
    EXPECT_ENGINE_FATAL({
        unsigned char* data = static_cast<unsigned char*>(EngineAlloc(16));
        data[16] = 1;
        EngineFree(data);
    });
}

TEST(EngineAllocDeathTest, WriteBeforeTheBlockStopsTheProgram)
{
    EXPECT_ENGINE_FATAL({
        unsigned char* data = static_cast<unsigned char*>(EngineAlloc(16));
        data[-8] = 1;
        EngineFree(data);
    });
}

TEST(EngineAlloc, OperatorNewUsesTheGuardedHeap)
{
    std::vector<int>* values = new std::vector<int>(3, 7);
    uint32_t size = 0;
    std::memcpy(&size, BlockOf(values) + 4, 4);
    EXPECT_EQ(size, sizeof(std::vector<int>));
    delete values;
}

TEST(GlobalPool, CounterReturnsToItsStartAfterFree)
{
    const int32_t before = GetGlobalLeak();
    void* block = EngineGlobalAlloc(100, "test");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GetGlobalLeak(), before + 100);
    EXPECT_EQ(static_cast<unsigned char*>(block)[99], 0);
    EngineGlobalFree(block);
    EXPECT_EQ(GetGlobalLeak(), before);
}

TEST(IntrusivePointer, CopiesShareOneCountAndTheLastResetDeletes)
{
    int deletions = 0;
    TIntrusivePointer<Tracked> first(new Tracked(&deletions), true);
    EXPECT_EQ(first->GetReferenceCount(), 1);
    TIntrusivePointer<Tracked> second = first;
    EXPECT_EQ(first->GetReferenceCount(), 2);
    second = first; // same object: unchanged
    first = first;
    EXPECT_EQ(first->GetReferenceCount(), 2);
    first.Reset();
    EXPECT_EQ(deletions, 0);
    EXPECT_TRUE(first.IsNull());
    second.Reset();
    EXPECT_EQ(deletions, 1);
}

TEST(IntrusivePointer, ReleaseReportsWhetherItDeleted)
{
    int deletions = 0;
    Tracked* object = new Tracked(&deletions);
    object->AddRef();
    object->AddRef();
    EXPECT_FALSE(object->Release());
    EXPECT_TRUE(object->Release());
    EXPECT_EQ(deletions, 1);
}

TEST(IntrusivePointer, AssigningDropsTheOldObjectAndTakesTheNew)
{
    int deletions = 0;
    TIntrusivePointer<Tracked> a(new Tracked(&deletions), true);
    TIntrusivePointer<IReferenceCounted> base(new Tracked(&deletions), true);
    base = a;
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(a->GetReferenceCount(), 2);
}

TEST(IntrusivePointer, SelfAssignmentAndOwnedTargetsKeepObjectsAlive)
{
    int deletions = 0;
    TIntrusivePointer<Tracked> a(new Tracked(&deletions), true);
    TIntrusivePointer<Tracked> same = a;
    a = *&a;
    a = same;
    EXPECT_EQ(a->GetReferenceCount(), 2);

    // The old object is the only owner of the new one: the new reference
    // must be taken before the old object goes.
    struct Owner : IReferenceCounted
    {
        TIntrusivePointer<Tracked> child;
    };
    TIntrusivePointer<Owner> owner(new Owner, true);
    owner->child = TIntrusivePointer<Tracked>(new Tracked(&deletions), true);
    TIntrusivePointer<IReferenceCounted> holder(owner);
    owner.Reset();
    holder = static_cast<Owner*>(holder.Get())->child;
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(holder->GetReferenceCount(), 1);
}

TEST(IntrusivePointerDeathTest, EmptyAccessAndDeadReleaseStopTheProgram)
{
    TIntrusivePointer<Tracked> empty;
    EXPECT_EQ(empty.Get(), nullptr);
    EXPECT_TRUE(empty.IsNull());
    EXPECT_FALSE(empty);
    EXPECT_ENGINE_FATAL(empty->AddRef());
    EXPECT_ENGINE_FATAL({
        int deletions = 0;
        Tracked dead(&deletions);
        dead.Release();
    });
}
