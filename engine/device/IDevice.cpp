#include "engine/device/IDevice.h"

#include "engine/common/base/FatalError.h"

namespace RVGameEngine {
namespace Device {

namespace {

IDevice* g_device = nullptr;

} // namespace

IDevice::IDevice()
{
    // The services below the device find it through the instance, so a
    // second device would silently take them over.
    if (g_device != nullptr)
        Common::EngineFatalError("A second device was created while one exists");
    g_device = this;
}

IDevice::~IDevice()
{
    if (g_device == this)
        g_device = nullptr;
}

IDevice* IDevice_GetInstance()
{
    return g_device;
}

} // namespace Device
} // namespace RVGameEngine
