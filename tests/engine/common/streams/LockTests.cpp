#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"

#include <gtest/gtest.h>

#include <thread>

using namespace RVGameEngine::Common;

TEST(AutoLock, GuardsABlockAndANullSectionDoesNothing)
{
    CCriticalSection section;
    long counter = 0;
    auto add = [&section, &counter] {
        for (int i = 0; i < 20000; ++i) {
            CAutoLock guard(&section);
            // A read, a pause and a write: without the lock the two threads
            // would lose updates.
            const long seen = counter;
            if ((i & 1023) == 0)
                std::this_thread::yield();
            counter = seen + 1;
        }
    };
    std::thread first(add), second(add);
    first.join();
    second.join();
    EXPECT_EQ(counter, 40000);

    CAutoLock nothing(nullptr);
    CAutoLock held(&section);
    CAutoLock again(&section); // the owner may enter again
}
