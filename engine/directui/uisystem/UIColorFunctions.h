#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Reads a colour attribute text: "r,g,b" (opaque) or "a,r,g,b"; anything with
// fewer than two commas is opaque black.
RV_API tagColor ParseUIColor(const wchar_t* text);

// Opaque white draws a picture unchanged.
inline bool IsOpaqueWhite(const tagColor& color)
{
    return color.red == 255 && color.green == 255 && color.blue == 255 && color.alpha == 255;
}

} // namespace DirectUI
} // namespace RVGameEngine
