#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIImage.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// An image drawn over a button, placed relative to its top-left corner.
struct tagButtonOverlayImage
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    Common::TIntrusivePointer<IUIImage> image;
};

} // namespace DirectUI
} // namespace RVGameEngine
