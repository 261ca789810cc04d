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

} // namespace DirectUI
} // namespace RVGameEngine
