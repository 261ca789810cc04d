#pragma once

// The one clock every benchmark times with.

#include <windows.h>

namespace Bench {

// Milliseconds from the performance counter.
inline double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace Bench
