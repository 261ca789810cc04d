#include "engine/device/IDevice.h"
#include "engine/device/tagCharEventArgs.h"
#include "engine/device/tagCreationParams.h"
#include "engine/device/tagDeviceCloseEventArgs.h"
#include "engine/device/tagDeviceSetCursorEventArgs.h"
#include "engine/device/tagKeyEventArgs.h"
#include "engine/device/tagMouseEventArgs.h"
#include "engine/device/tagMouseWheelEventArgs.h"
#include "tests/engine/device/StubDevice.h"
#include "tests/support/ExpectEngineFatal.h"

#include <gtest/gtest.h>

#include <cstddef>

using namespace RVGameEngine::Device;

namespace {

// offsetof is not defined for records with a table pointer; measure on an instance.
template <typename Record, typename Field>
size_t OffsetIn(Field Record::*field)
{
    const Record record;
    return reinterpret_cast<const char*>(&(record.*field)) - reinterpret_cast<const char*>(&record);
}

// Games built against the exported records read and write these offsets.
TEST(DeviceRecords, ExportedRecordsKeepTheirLayout)
{
    EXPECT_EQ(0u, offsetof(tagCreationParams, Reserved1));
    EXPECT_EQ(4u, offsetof(tagCreationParams, NoVideo));
    EXPECT_EQ(8u, offsetof(tagCreationParams, NoAudio));
    EXPECT_EQ(12u, offsetof(tagCreationParams, X));
    EXPECT_EQ(16u, offsetof(tagCreationParams, Y));
    EXPECT_EQ(20u, offsetof(tagCreationParams, Width));
    EXPECT_EQ(24u, offsetof(tagCreationParams, Height));
    EXPECT_EQ(28u, offsetof(tagCreationParams, Reserved2));
    EXPECT_EQ(29u, offsetof(tagCreationParams, CenterOnScreen));
    EXPECT_EQ(32u, offsetof(tagCreationParams, Reserved3));
    EXPECT_EQ(36u, offsetof(tagCreationParams, Reserved4));
    EXPECT_EQ(40u, offsetof(tagCreationParams, Reserved5));
    EXPECT_EQ(44u, offsetof(tagCreationParams, MultiSampleType));
    EXPECT_EQ(48u, offsetof(tagCreationParams, ExistingWindow));
    EXPECT_EQ(52u, offsetof(tagCreationParams, ParentWindow));
    EXPECT_EQ(56u, sizeof(tagCreationParams));
    // Each event record follows the base record's table pointer.
    EXPECT_EQ(4u, OffsetIn<tagKeyEventArgs>(&tagKeyEventArgs::Key));
    EXPECT_EQ(8u, sizeof(tagKeyEventArgs));
    EXPECT_EQ(4u, OffsetIn<tagCharEventArgs>(&tagCharEventArgs::Character));
    EXPECT_EQ(4u, OffsetIn<tagMouseEventArgs>(&tagMouseEventArgs::X));
    EXPECT_EQ(8u, OffsetIn<tagMouseEventArgs>(&tagMouseEventArgs::Y));
    EXPECT_EQ(12u, sizeof(tagMouseEventArgs));
    EXPECT_EQ(4u, OffsetIn<tagMouseWheelEventArgs>(&tagMouseWheelEventArgs::Delta));
    EXPECT_EQ(4u, OffsetIn<tagDeviceCloseEventArgs>(&tagDeviceCloseEventArgs::Cancel));
    EXPECT_EQ(4u, OffsetIn<tagDeviceSetCursorEventArgs>(&tagDeviceSetCursorEventArgs::X));
    EXPECT_EQ(8u, OffsetIn<tagDeviceSetCursorEventArgs>(&tagDeviceSetCursorEventArgs::Y));
    EXPECT_EQ(12u, OffsetIn<tagDeviceSetCursorEventArgs>(&tagDeviceSetCursorEventArgs::Handled));
    EXPECT_EQ(16u, OffsetIn<tagDeviceSetCursorEventArgs>(&tagDeviceSetCursorEventArgs::Cursor));
    EXPECT_EQ(20u, sizeof(tagDeviceSetCursorEventArgs));
}

TEST(DeviceInstance, OneDeviceIsTheInstanceFromConstructionToDestruction)
{
    EXPECT_EQ(nullptr, IDevice_GetInstance());
    {
        RVTest::StubDevice device;
        EXPECT_EQ(&device, IDevice_GetInstance());
        // A second device would take the services over from the first.
        EXPECT_ENGINE_FATAL(RVTest::StubDevice second);
    }
    EXPECT_EQ(nullptr, IDevice_GetInstance());
}

} // namespace
