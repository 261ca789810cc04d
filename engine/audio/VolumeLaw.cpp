#include "engine/audio/VolumeLaw.h"

#include <cmath>

namespace RVGameEngine {
namespace Audio {

int32_t VolumeToAttenuation(float volume)
{
    // Written so that NaN falls to silence.
    if (!(volume > 0.0f))
        return -10000;
    if (volume >= 1.0f)
        return 0;
    return static_cast<int32_t>(std::pow(static_cast<double>(volume), 0.25) * 10000.0 - 10000.0);
}

} // namespace Audio
} // namespace RVGameEngine
