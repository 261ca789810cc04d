#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/device/IDevice.h"
#include "engine/device/tagCreationParams.h"

namespace RVGameEngine {
namespace Device {

// Makes the device window with its Direct3D device and services. Null, with
// a log line, when a device already exists or creation fails (nothing of the
// attempt is left behind). The caller takes the first reference.
RV_API IDevice* IDevice_Create(tagCreationParams& params);

} // namespace Device
} // namespace RVGameEngine
