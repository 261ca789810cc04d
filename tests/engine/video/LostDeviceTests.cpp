#include "engine/device/enmDeviceEvent.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "tests/engine/video/ScriptedDirect3DDevice.h"
#include "tests/engine/video/VideoTestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine;

namespace {

std::vector<std::string>* g_events = nullptr;

void OnResetting(void*, Common::tagEventArgs*) { g_events->push_back("DeviceResetting"); }
void OnReset(void*, Common::tagEventArgs*) { g_events->push_back("DeviceReset"); }

// Wine's Direct3D never loses its device, so a scripted device plays the
// part: lost for a frame, then ready to be reset.
TEST(LostDevice, SkipsFramesWhileLostThenResetsBetweenTheDeviceEvents)
{
    VideoTest::ScriptedDeviceLog log;
    Device::tagCreationParams params;
    Video::CVideoDriver_DirectX81 driver(params, &VideoTest::Device(), VideoTest::ScriptedDirect3DDevice(&log));
    std::vector<std::string> events;
    g_events = &events;
    RVTest::StubDevice& device = VideoTest::Device();
    device.videoDriver = &driver;
    device.onReset = [&] {
        events.push_back("ResetDevice");
        return driver.ResetStates();
    };
    device.AddGlobalFunctionDelegate(Device::DEVICE_EVENT_DEVICE_RESETTING, OnResetting);
    device.AddGlobalFunctionDelegate(Device::DEVICE_EVENT_DEVICE_RESET, OnReset);
    Math::tagMatrix4x4 moved;
    moved(3, 0) = 50.0f;
    driver.SetTransform(Video::TRANSFORM_WORLD, &moved);

    log.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET, D3DERR_DRIVERINTERNALERROR};
    log.calls.clear();
    EXPECT_FALSE(driver.BeginScene());
    EXPECT_EQ((std::vector<std::string>{"TestCooperativeLevel"}), log.calls);
    EXPECT_TRUE(events.empty());

    log.calls.clear();
    EXPECT_TRUE(driver.BeginScene());
    EXPECT_EQ((std::vector<std::string>{"DeviceResetting", "ResetDevice", "DeviceReset"}), events);
    EXPECT_EQ((std::vector<std::string>{"TestCooperativeLevel", "SetTransform", "SetTransform", "SetTransform",
                                        "SetTextureStageState", "SetTextureStageState", "SetTextureStageState",
                                        "BeginScene"}),
              log.calls);
    Math::tagMatrix4x4 world;
    driver.GetTransform(Video::TRANSFORM_WORLD, &world);
    EXPECT_EQ(0.0f, world(3, 0)) << "states are back to identity after the reset";

    EXPECT_FALSE(driver.BeginScene()) << "any other answer skips the frame";
    EXPECT_EQ(3u, events.size());

    device.RemoveAllDelegates();
    device.onReset = nullptr;
    device.videoDriver = VideoTest::Driver();
    g_events = nullptr;
}

} // namespace
