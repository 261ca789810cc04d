#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Four free integers of a window: tag 4's number and the three user values.
struct tagUserRect
{
    int32_t tag4 = 0;
    int32_t userValueA = 0;
    int32_t userValueB = 0;
    int32_t userValueC = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
