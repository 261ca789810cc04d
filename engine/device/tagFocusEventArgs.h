#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The device window gained or lost the keyboard focus.
struct RV_API tagFocusEventArgs : public Common::tagEventArgs
{
};

} // namespace Device
} // namespace RVGameEngine
