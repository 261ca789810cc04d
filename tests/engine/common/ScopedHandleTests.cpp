#include "engine/common/base/TScopedHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

// Records what it closes, so that "exactly once" can be counted.
struct RecordingTraits {
    using Handle = int;
    std::vector<int>* closed = nullptr;
    static Handle Null() { return -1; }
    static bool IsValid(Handle h) { return h >= 0; }
    void Close(Handle h) { closed->push_back(h); }
};
using CRecorded = TScopedHandle<RecordingTraits>;

}  // namespace

TEST(ScopedHandle, ClosesWhatItOwnsExactlyOnceAcrossMovesResetsAndReleases)
{
    std::vector<int> closed;
    {
        CRecorded first(1, RecordingTraits{&closed});
        CRecorded second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        CRecorded third(2, RecordingTraits{&closed});
        third = std::move(second);           // 2 goes, 1 moves on
        EXPECT_EQ(closed, std::vector<int>({2}));
        third.Reset(3);                      // 1 goes
        third.Reset(3);                      // the same value again: nothing
        CRecorded kept(4, RecordingTraits{&closed});
        EXPECT_EQ(kept.Release(), 4);        // never closed
        int* slot = third.Receive();         // 3 goes before the slot is handed out
        *slot = 5;
    }
    EXPECT_EQ(closed, std::vector<int>({2, 1, 3, 5}));
}

TEST(ScopedHandle, EachKindKnowsItsOwnNoneValues)
{
    EXPECT_FALSE(CScopedKernelHandle(INVALID_HANDLE_VALUE).IsValid());
    EXPECT_FALSE(CScopedKernelHandle(nullptr).IsValid());
    EXPECT_EQ(CScopedFindHandle().Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CScopedFindHandle(nullptr).IsValid());
    EXPECT_FALSE(CScopedSelection(HGDI_ERROR).IsValid());

    // A predefined root key is never closed by its owner: it must still answer.
    { CScopedRegistryKey root(HKEY_CURRENT_USER); }
    CScopedRegistryKey opened;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, opened.Receive()), ERROR_SUCCESS);
    EXPECT_TRUE(opened.IsValid());

    // A real kernel handle is closed when its owner ends.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    { CScopedKernelHandle owner(event); }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));
}
