#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The window is asked to close; a handler keeps it open by setting Cancel.
struct RV_API tagDeviceCloseEventArgs : public Common::tagEventArgs
{
    bool Cancel = false;
};

} // namespace Device
} // namespace RVGameEngine
