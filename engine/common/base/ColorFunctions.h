#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// Reads "r,g,b" (alpha 255) or "a,r,g,b". Each field is its leading decimal
// number (white space skipped, 0 when there is none); values are not clamped.
// A text with fewer than two commas, or null, gives opaque black.
RV_API void ParseColorString(const wchar_t* text, int& alpha, int& red, int& green, int& blue);

} // namespace Common
} // namespace RVGameEngine
