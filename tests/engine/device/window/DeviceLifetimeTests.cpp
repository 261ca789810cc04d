#include "engine/common/base/TScopedHandle.h"
#include "engine/device/window/CDeviceTickThread.h"
#include "tests/engine/device/window/DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Device;
using Entries = std::vector<std::string>;

namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The window's going moves the focus; that is not what these tests look at.
Entries WithoutFocusChanges(const Entries& entries)
{
    Entries kept;
    for (const std::string& entry : entries) {
        if (entry != std::to_string(DEVICE_EVENT_SET_FOCUS) && entry != std::to_string(DEVICE_EVENT_KILL_FOCUS))
            kept.push_back(entry);
    }
    return kept;
}

class DeviceLifetime : public DeviceWindowTest::DeviceFixture
{
public:
    // Lets the test's only reference go while the device fires.
    void DropDevice(void*, Common::tagEventArgs*) { device.Reset(); }
};

struct DropCase
{
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int32_t dropOn;
    bool throughPump; // posted and pumped by ProcessMessages instead of sent
    Entries expected;
};

// A handler that releases the device while it fires: the device finishes the
// message (later events of the same message included) before it goes.
TEST_F(DeviceLifetime, AHandlerMayReleaseTheDeviceWhileItFires)
{
    const DropCase cases[] = {
        {"release of the left button", WM_LBUTTONUP, 0, Point(3, 4), DEVICE_EVENT_LBUTTON_CLICK, false,
         {"16:3,4", "7:3,4"}},
        {"double click", WM_LBUTTONDBLCLK, 0, Point(5, 6), DEVICE_EVENT_LBUTTON_DBLCLK, false, {"5:5,6", "6:5,6"}},
        {"close", WM_CLOSE, 0, 0, DEVICE_EVENT_DEVICE_CLOSE, false, {"13", "14"}},
        {"tick", CDeviceTickThread::kTickMessage, 0, 0, DEVICE_EVENT_TICK, false, {"19"}},
        {"click through the frame loop's pump", WM_RBUTTONUP, 0, Point(7, 8), DEVICE_EVENT_RBUTTON_UP, true,
         {"10:7,8"}},
    };
    for (const DropCase& row : cases) {
        SCOPED_TRACE(row.name);
        Create(DeviceWindowTest::SmallParams());
        DeviceWindowTest::DropQuitMessages();
        device->ProcessMessages();
        log.entries.clear();
        device->AddMemberFunctionDelegate(row.dropOn, this, &DeviceLifetime::DropDevice);
        IDevice* pumping = device.Get();
        if (row.throughPump) {
            PostMessageW(window, row.message, row.wParam, row.lParam);
            EXPECT_TRUE(pumping->ProcessMessages());
        } else {
            SendMessageW(window, row.message, row.wParam, row.lParam);
        }
        EXPECT_TRUE(device.IsNull());
        EXPECT_EQ(nullptr, IDevice_GetInstance());
        EXPECT_EQ(row.expected, WithoutFocusChanges(log.entries));
        DeviceWindowTest::DropQuitMessages();
    }
}

struct TickThreadCase
{
    const char* name;
    bool handedOver;
};

// The tick thread stops with the device that started it, also when the
// window it posts to is one the game handed over and keeps.
TEST_F(DeviceLifetime, TickThreadEndsWithTheDevice)
{
    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = &DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"DeviceLifetimeHost";
    RegisterClassW(&hostClass);
    const TickThreadCase cases[] = {{"own window", false}, {"handed-over window", true}};
    for (const TickThreadCase& row : cases) {
        SCOPED_TRACE(row.name);
        Common::CScopedWindow host(CreateWindowExW(0, L"DeviceLifetimeHost", L"", WS_POPUP, 0, 0, 64, 48, nullptr,
                                                   nullptr, hostClass.hInstance, nullptr));
        tagCreationParams params = DeviceWindowTest::SmallParams();
        if (row.handedOver)
            params.ExistingWindow = host.Get();
        Create(params);
        Common::CScopedKernelHandle thread(device->StartTickThread());
        ASSERT_TRUE(thread);
        device.Reset();
        // Bounded: the thread's first post comes after its start-up pause.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 10000));
        EXPECT_TRUE(IsWindow(host.Get()));
        DeviceWindowTest::DropQuitMessages();
    }
}

} // namespace
