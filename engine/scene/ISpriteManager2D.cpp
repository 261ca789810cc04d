#include "engine/scene/ISpriteManager2D.h"

#include "engine/device/IDevice.h"

namespace RVGameEngine {
namespace Scene {

ISpriteManager2D* ISpriteManager2D_GetInstance()
{
    Device::IDevice* device = Device::IDevice_GetInstance();
    return device != nullptr ? device->GetSpriteManager() : nullptr;
}

} // namespace Scene
} // namespace RVGameEngine
