#pragma once

// Helpers of the device window tests: a device made for one test and gone
// with it, and a log of the events it fires.

#include "engine/device/IDevice.h"
#include "engine/device/window/DeviceCreation.h"
#include "engine/device/enmDeviceEvent.h"
#include "engine/device/tagCharEventArgs.h"
#include "engine/device/tagKeyEventArgs.h"
#include "engine/device/tagMouseEventArgs.h"
#include "engine/device/tagMouseWheelEventArgs.h"
#include "engine/device/window/CDevice_Win32.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace DeviceWindowTest {

// "id" or "id:details" per event, in firing order.
class EventLog
{
public:
    std::vector<std::string> entries;

    void SubscribeAll(RVGameEngine::Device::IDevice* device)
    {
        SubscribeEach(device, std::make_integer_sequence<int, 20>());
    }

private:
    template <int... Ids>
    void SubscribeEach(RVGameEngine::Device::IDevice* device, std::integer_sequence<int, Ids...>)
    {
        (device->AddMemberFunctionDelegate(Ids, this, &EventLog::On<Ids>), ...);
    }

    template <int Id>
    void On(void*, RVGameEngine::Common::tagEventArgs* args)
    {
        using namespace RVGameEngine::Device;
        std::string entry = std::to_string(Id);
        switch (Id) {
        case DEVICE_EVENT_KEY_DOWN: case DEVICE_EVENT_KEY_UP:
            entry += ":" + std::to_string(static_cast<tagKeyEventArgs*>(args)->Key);
            break;
        case DEVICE_EVENT_CHAR:
            entry += ":" + std::to_string(static_cast<tagCharEventArgs*>(args)->Character);
            break;
        case DEVICE_EVENT_MOUSE_WHEEL:
            entry += ":" + std::to_string(static_cast<tagMouseWheelEventArgs*>(args)->Delta);
            break;
        case DEVICE_EVENT_LBUTTON_DBLCLK: case DEVICE_EVENT_LBUTTON_DOWN: case DEVICE_EVENT_LBUTTON_UP:
        case DEVICE_EVENT_RBUTTON_DBLCLK: case DEVICE_EVENT_RBUTTON_DOWN: case DEVICE_EVENT_RBUTTON_UP:
        case DEVICE_EVENT_MOUSE_MOVE: case DEVICE_EVENT_LBUTTON_CLICK:
            entry += ":" + std::to_string(static_cast<tagMouseEventArgs*>(args)->X) + "," +
                     std::to_string(static_cast<tagMouseEventArgs*>(args)->Y);
            break;
        }
        entries.push_back(entry);
    }
};

// Small windows that need no audio, unless a test says otherwise.
inline RVGameEngine::Device::tagCreationParams SmallParams(int width = 64, int height = 48)
{
    RVGameEngine::Device::tagCreationParams params;
    params.Width = width;
    params.Height = height;
    params.NoAudio = 1;
    return params;
}

// Removes the quit message a closed device window leaves for the next test.
inline void DropQuitMessages()
{
    for (MSG message; PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }
}

// A test's own device, logging all its events; gone with the test, and so is
// the quit message its window leaves.
class DeviceFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        device.Reset();
        DropQuitMessages();
    }

    void Create(RVGameEngine::Device::tagCreationParams params)
    {
        device.Reset();
        device = RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Device::IDevice>(
            RVGameEngine::Device::IDevice_Create(params));
        ASSERT_FALSE(device.IsNull()) << "Direct3D 8 needs a display (DISPLAY of an Xvfb)";
        window = device->GetWindowHandle();
        log.SubscribeAll(device.Get());
    }

    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Device::IDevice> device;
    HWND window = nullptr;
    EventLog log;
};

} // namespace DeviceWindowTest
