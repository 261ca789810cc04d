#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Longest file name a pattern may produce, in UTF-16 units.
constexpr size_t kMaxNumberedFileNameLength = 999;

// Writes a numbered file name from a pattern such as "Face/%03d.png": the
// pattern's one integer field ("%d" or "%i", with flags and a width) takes
// the number, "%%" is a percent sign. Patterns with any other field, with no
// field or more than one, and names longer than the limit give false: a
// pattern is never used as a format of its own.
RV_API bool FormatNumberedFileName(const wchar_t* pattern, int32_t number, std::wstring& name);

// The same rules for any text made from a pattern with one integer field,
// up to maxLength units. The number is written by us, never by a format
// function, so that no pattern can read or write memory; it takes the full
// 64-bit range (the most negative 32-bit number's magnitude fits).
RV_API bool FormatIntegerPattern(const wchar_t* pattern, int64_t number, size_t maxLength, std::wstring& text);

} // namespace DirectUI
} // namespace RVGameEngine
