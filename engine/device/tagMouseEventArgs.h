#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// A mouse button or move, at a point in client coordinates.
struct RV_API tagMouseEventArgs : public Common::tagEventArgs
{
    int32_t X = 0;
    int32_t Y = 0;
};

} // namespace Device
} // namespace RVGameEngine
