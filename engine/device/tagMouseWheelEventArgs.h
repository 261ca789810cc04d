#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The mouse wheel turned by Delta whole notches (partial notches count 0).
struct RV_API tagMouseWheelEventArgs : public Common::tagEventArgs
{
    int32_t Delta = 0;
};

} // namespace Device
} // namespace RVGameEngine
