#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// A character was typed.
struct RV_API tagCharEventArgs : public Common::tagEventArgs
{
    uint16_t Character = 0;
};

} // namespace Device
} // namespace RVGameEngine
