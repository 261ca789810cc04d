#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// What a game asks of its device window. Copied whole into the device and
// into the video driver; the field order is part of the exported surface.
struct RV_API tagCreationParams
{
    uint32_t Reserved1 = 0;
    uint32_t NoVideo = 0;          // non-zero: no Direct3D, and creation fails
    uint32_t NoAudio = 0;          // non-zero: no audio driver
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 640;           // window, back buffer and 2D coordinate space
    int32_t Height = 480;
    uint8_t Reserved2 = 0;
    uint8_t CenterOnScreen = 0;    // top-level windows only
    uint32_t Reserved3 = 16;
    uint32_t Reserved4 = 16;
    uint32_t Reserved5 = 0;
    int32_t MultiSampleType = 1;   // clamped to none or 2..16
    HWND ExistingWindow = nullptr; // used (and subclassed) instead of a new window
    HWND ParentWindow = nullptr;   // makes the new window a child of this one
};

} // namespace Device
} // namespace RVGameEngine
