#include "engine/common/base/IVector.h"
#include "tests/support/ExpectEngineFatal.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Common;

namespace {

struct Counted : IReferenceCounted
{
    Counted(int tag, int* deletions) : tag(tag), deletions(deletions) {}
    ~Counted() override { ++*deletions; }
    int tag;
    int* deletions;
};

struct Other : IReferenceCounted
{
};

TIntrusivePointer<IReferenceCounted> Make(int tag, int* deletions)
{
    return TIntrusivePointer<IReferenceCounted>(new Counted(tag, deletions), true);
}

int TagAt(IVector* vector, uint32_t index)
{
    return vector->GetAtAs<Counted>(index)->tag;
}

} // namespace

TEST(Vector, ElementsAreHeldWhileStoredAndReleasedByRemoveSetClearAndTheEnd)
{
    TIntrusivePointer<IVector> vector = IVector_Create();
    int deletions = 0;
    TIntrusivePointer<IReferenceCounted> kept = Make(9, &deletions);
    vector->Add(TIntrusivePointer<IReferenceCounted>());
    for (int tag = 0; tag < 2; ++tag)
        vector->Add(Make(tag, &deletions));
    EXPECT_TRUE(vector->GetAt(0).IsNull() && vector->GetAtAs<Counted>(0).IsNull());
    EXPECT_TRUE(vector->GetAtAs<Other>(1).IsNull());
    vector->RemoveAt(0);
    vector->RemoveAt(0);
    EXPECT_EQ(deletions, 1);
    ASSERT_EQ(vector->GetCount(), 1);
    EXPECT_EQ(TagAt(vector.Get(), 0), 1);

    vector->SetAt(0, kept);
    vector->SetAt(0, kept); // same object: no change
    EXPECT_EQ(deletions, 2);
    {
        TIntrusivePointer<IReferenceCounted> taken = vector->GetAt(0);
        EXPECT_EQ(kept->GetReferenceCount(), 3);
    }
    EXPECT_EQ(kept->GetReferenceCount(), 2);
    EXPECT_EQ(TagAt(vector.Get(), 0), 9);

    vector->Add(Make(3, &deletions));
    vector->Clear();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(vector->GetCount(), 0);
    vector->Add(Make(4, &deletions));
    vector->Add(kept);
    vector.Reset();
    EXPECT_EQ(deletions, 4);
    EXPECT_EQ(kept->GetReferenceCount(), 1);
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
