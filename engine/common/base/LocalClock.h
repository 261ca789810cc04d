#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// The local date and time from which the engine builds names (log files,
// crash dumps). A program can put another source in place (tests do, to get
// known names); null restores the system clock. Returns the previous source.
using LocalTimeSource = void (*)(SYSTEMTIME* now);

RV_API LocalTimeSource SetLocalTimeSource(LocalTimeSource source);
RV_API void GetEngineLocalTime(SYSTEMTIME* now);

} // namespace Common
} // namespace RVGameEngine
