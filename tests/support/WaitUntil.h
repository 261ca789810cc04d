#pragma once

#include <windows.h>

namespace RVTest {

// Polls a state until it holds or the limit has passed; says whether it
// held. The state is read once more at the limit, so that a slow last poll
// never counts as a miss.
template <typename Done>
bool WaitUntil(Done done, DWORD limitMs)
{
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!done()) {
        if (GetTickCount64() >= end)
            return done();
        Sleep(10);
    }
    return true;
}

} // namespace RVTest
