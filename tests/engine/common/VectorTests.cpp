#include "engine/common/IVector.h"
#include "tests/support/ExpectEngineFatal.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Common;

namespace {

class Counted : public IReferenceCounted
{
public:
    Counted(int tag, int* deletions) : m_tag(tag), m_deletions(deletions) {}
    ~Counted() override { ++*m_deletions; }
    int Tag() const { return m_tag; }

private:
    int m_tag;
    int* m_deletions;
};

class Other : public IReferenceCounted
{
};

TIntrusivePointer<IReferenceCounted> Make(int tag, int* deletions)
{
    return TIntrusivePointer<IReferenceCounted>(new Counted(tag, deletions), true);
}

int TagAt(IVector* vector, uint32_t index)
{
    return static_cast<Counted*>(vector->GetAt(index).Get())->Tag();
}

} // namespace

TEST(Vector, AddCountsEveryElementIncludingEmptyOnes)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    ASSERT_FALSE(vector.IsNull());
    EXPECT_EQ(vector->GetCount(), 0);
    int deletions = 0;
    vector->Add(Make(1, &deletions));
    vector->Add(TIntrusivePointer<IReferenceCounted>());
    EXPECT_EQ(vector->GetCount(), 2);
    EXPECT_TRUE(vector->GetAt(1).IsNull());
    EXPECT_EQ(deletions, 0);
}

TEST(Vector, GetAtHoldsAReferenceOnlyWhileThePointerLives)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    TIntrusivePointer<IReferenceCounted> object = Make(7, &deletions);
    vector->Add(object);
    EXPECT_EQ(object->GetReferenceCount(), 2);
    {
        TIntrusivePointer<IReferenceCounted> taken = vector->GetAt(0);
        EXPECT_EQ(object->GetReferenceCount(), 3);
    }
    EXPECT_EQ(object->GetReferenceCount(), 2);
}

TEST(Vector, RemoveAtShiftsLaterElementsDownAndReleases)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    for (int tag = 0; tag < 3; ++tag)
        vector->Add(Make(tag, &deletions));
    vector->RemoveAt(0);
    EXPECT_EQ(deletions, 1);
    ASSERT_EQ(vector->GetCount(), 2);
    EXPECT_EQ(TagAt(vector.Get(), 0), 1);
    EXPECT_EQ(TagAt(vector.Get(), 1), 2);
}

TEST(Vector, SetAtSwapsReferencesAndSameObjectIsNoChange)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    vector->Add(Make(1, &deletions));
    TIntrusivePointer<IReferenceCounted> second = Make(2, &deletions);
    vector->SetAt(0, second);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(second->GetReferenceCount(), 2);
    vector->SetAt(0, second);
    EXPECT_EQ(second->GetReferenceCount(), 2);
    EXPECT_EQ(TagAt(vector.Get(), 0), 2);
}

TEST(Vector, ClearAndDestructionReleaseEveryElement)
{
    int deletions = 0;
    TIntrusivePointer<IVector> vector = IVector_Create();
    vector->Add(Make(1, &deletions));
    vector->Add(Make(2, &deletions));
    vector->Clear();
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(vector->GetCount(), 0);

    vector->Add(Make(3, &deletions));
    TIntrusivePointer<IReferenceCounted> kept = Make(4, &deletions);
    vector->Add(kept);
    vector.Reset();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(kept->GetReferenceCount(), 1);
}

TEST(Vector, GetAtAsChecksTheInterface)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    vector->Add(Make(5, &deletions));
    vector->Add(TIntrusivePointer<IReferenceCounted>());
    EXPECT_EQ(vector->GetAtAs<Counted>(0)->Tag(), 5);
    EXPECT_TRUE(vector->GetAtAs<Other>(0).IsNull());
    EXPECT_TRUE(vector->GetAtAs<Counted>(1).IsNull());
}

TEST(VectorDeathTest, IndexAtOrBeyondTheCountIsFatal)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    vector->Add(Make(1, &deletions));
    EXPECT_ENGINE_FATAL(vector->GetAt(1));
    EXPECT_ENGINE_FATAL(vector->RemoveAt(5));
    EXPECT_ENGINE_FATAL(vector->SetAt(1, TIntrusivePointer<IReferenceCounted>()));
    EXPECT_ENGINE_FATAL(IVector_Create()->RemoveAt(0));
}
