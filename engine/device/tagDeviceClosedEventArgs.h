#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The close went ahead: the window is about to be destroyed.
struct RV_API tagDeviceClosedEventArgs : public Common::tagEventArgs
{
};

} // namespace Device
} // namespace RVGameEngine
