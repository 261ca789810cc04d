#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// A key went down or up; Key is the virtual-key code.
struct RV_API tagKeyEventArgs : public Common::tagEventArgs
{
    uint32_t Key = 255;
};

} // namespace Device
} // namespace RVGameEngine
