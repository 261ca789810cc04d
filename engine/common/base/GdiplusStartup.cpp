#include "engine/common/base/GdiplusStartup.h"

#include "engine/common/base/CAutoLock.h"

#include <windows.h>
#include <gdiplus.h>

#include <atomic>

namespace RVGameEngine {
namespace Common {

namespace {

std::atomic<bool> g_failForTesting{false};

} // namespace

bool StartGdiplus()
{
    if (g_failForTesting.load())
        return false;
    // Callers on several threads (texture loading on a worker, the frames on
    // the UI thread) start it only once between them.
    static CCriticalSection* lock = new CCriticalSection();
    static bool started = false;
    CAutoLock guard(lock);
    if (!started) {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    return started;
}

void SetGdiplusStartupFailureForTesting(bool fail)
{
    g_failForTesting.store(fail);
}

} // namespace Common
} // namespace RVGameEngine
