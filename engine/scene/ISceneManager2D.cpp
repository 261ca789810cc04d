#include "engine/scene/ISceneManager2D.h"

#include "engine/device/IDevice.h"

namespace RVGameEngine {
namespace Scene {

ISceneManager2D* ISceneManager2D_GetInstance()
{
    Device::IDevice* device = Device::IDevice_GetInstance();
    return device != nullptr ? device->GetSceneManager() : nullptr;
}

} // namespace Scene
} // namespace RVGameEngine
