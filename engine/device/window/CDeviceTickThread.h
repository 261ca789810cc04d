#pragma once

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The thread that posts the device window's periodic tick message. It reads
// the window under a lock that the device takes to change it, and ends once
// the device that started it is gone: a window the game handed
// over outlives the device and is not ticked any more.
class CDeviceTickThread
{
public:
    // Posted to the device window; answered there with the Tick event.
    static constexpr UINT kTickMessage = 0x942;

    // A device is made: the threads of an earlier one end.
    static void BeginDevice();
    // The device's window, or null once the window is gone.
    static void SetWindow(HWND window);
    // The device is going: its threads end.
    static void EndDevice();

    // Starts a thread for the device there is now; null when there is none
    // or the thread cannot be started.
    static HANDLE Start();

private:
    static DWORD WINAPI Run(void* generation);
    static bool PostTick(uint32_t generation);
};

} // namespace Device
} // namespace RVGameEngine
