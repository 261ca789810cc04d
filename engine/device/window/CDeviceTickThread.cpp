#include "engine/device/window/CDeviceTickThread.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"

namespace RVGameEngine {
namespace Device {

namespace {

constexpr DWORD kStartDelayMs = 3000;
constexpr DWORD kTickPeriodMs = 100;

// What the threads post to, shared with the device's thread.
struct tagTickTarget
{
    bool deviceExists = false;
    // Counts the devices made, so that a thread knows its device from a later one.
    uint32_t generation = 0;
    HWND window = nullptr;
};

tagTickTarget g_target;

// Made on first use and kept: a thread may still ask after the device went.
Common::CCriticalSection& TargetLock()
{
    static Common::CCriticalSection* lock = new Common::CCriticalSection();
    return *lock;
}

} // namespace

void CDeviceTickThread::BeginDevice()
{
    Common::CAutoLock guard(&TargetLock());
    g_target.deviceExists = true;
    ++g_target.generation;
    g_target.window = nullptr;
}

void CDeviceTickThread::SetWindow(HWND window)
{
    Common::CAutoLock guard(&TargetLock());
    g_target.window = window;
}

void CDeviceTickThread::EndDevice()
{
    Common::CAutoLock guard(&TargetLock());
    g_target.deviceExists = false;
    ++g_target.generation;
    g_target.window = nullptr;
}

HANDLE CDeviceTickThread::Start()
{
    // The thread serves the device there is now, even if it only runs after
    // that device went.
    uint32_t generation = 0;
    {
        Common::CAutoLock guard(&TargetLock());
        if (!g_target.deviceExists)
            return nullptr;
        generation = g_target.generation;
    }
    return CreateThread(nullptr, 0, &CDeviceTickThread::Run, reinterpret_cast<void*>(static_cast<uintptr_t>(generation)),
                        0, nullptr);
}

DWORD WINAPI CDeviceTickThread::Run(void* parameter)
{
    const uint32_t generation = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parameter));
    ::Sleep(kStartDelayMs);
    while (PostTick(generation))
        ::Sleep(kTickPeriodMs);
    return 0;
}

bool CDeviceTickThread::PostTick(uint32_t generation)
{
    // Under the lock, so that the device cannot withdraw the window between
    // the check and the post.
    Common::CAutoLock guard(&TargetLock());
    if (g_target.generation != generation || g_target.window == nullptr)
        return false;
    return PostMessageW(g_target.window, kTickMessage, 0, 0) != FALSE;
}

} // namespace Device
} // namespace RVGameEngine
