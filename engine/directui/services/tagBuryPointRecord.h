#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// One closed stay at a tracking point.
struct tagBuryPointRecord
{
    int32_t PointId = 0;
    int32_t SubId = 0;
    int32_t Value = 0;
    // Length of the stay, at least 1.
    int32_t Seconds = 1;
};

} // namespace DirectUI
} // namespace RVGameEngine
