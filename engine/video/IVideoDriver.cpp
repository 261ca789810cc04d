#include "engine/video/IVideoDriver.h"

#include "engine/device/IDevice.h"

namespace RVGameEngine {
namespace Video {

uint32_t UnscaledTextureLoading = 1;

IVideoDriver* IVideoDriver_GetInstance()
{
    Device::IDevice* device = Device::IDevice_GetInstance();
    return device != nullptr ? device->GetVideoDriver() : nullptr;
}

} // namespace Video
} // namespace RVGameEngine
