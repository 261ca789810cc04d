#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// Exception code raised for an internal consistency failure ("RVE" + 0xE0
// customer bit). The process's unhandled-exception filter sees it, so a crash
// dump is written before the program ends.
constexpr unsigned long kEngineFatalExceptionCode = 0xE0525645UL;

// Stops the program: raises a non-continuable exception that no engine code
// catches. The reason travels as the exception's only parameter.
[[noreturn]] RV_API void EngineFatalError(const char* reason);

} // namespace Common
} // namespace RVGameEngine
