#include "engine/math/AngleFunctions.h"

#include <cmath>

namespace RVGameEngine {
namespace Math {

float DegreeToRadian(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) / 180.0 * static_cast<double>(kPi));
}

float DirToAngle(float x, float y)
{
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

} // namespace Math
} // namespace RVGameEngine
