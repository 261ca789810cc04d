#pragma once

#include <windows.h>

namespace RVTest {

// Delivers what this thread's queue holds, as a message loop would, and
// returns once it is empty (or after a bound, should handlers keep posting).
inline void DeliverPostedMessages()
{
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace RVTest
