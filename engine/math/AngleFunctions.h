#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Math {

constexpr float kPi = 3.1415927f;

RV_API float DegreeToRadian(float degrees);
// The direction of (x, y) in radians, from the positive x axis: atan2(y, x).
RV_API float DirToAngle(float x, float y);

} // namespace Math
} // namespace RVGameEngine
