#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Audio {

// Level 0..1 to the attenuation DirectSound and DirectShow take, in
// hundredths of a decibel: trunc(v^(1/4) * 10000 - 10000). The fourth root
// makes the slider feel even; 1 gives 0 (full level), 0 gives -10000
// (silence). Levels outside 0..1 (and NaN) are clamped first.
int32_t VolumeToAttenuation(float volume);

} // namespace Audio
} // namespace RVGameEngine
