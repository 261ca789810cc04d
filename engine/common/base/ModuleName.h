#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstddef>

namespace RVGameEngine {
namespace Common {

// The program's module name, used in log and dump file names. Recorded once
// at start-up; empty before.
constexpr size_t kModuleNameUnits = 1000;
RV_API const wchar_t* GetModuleName();
// False (nothing stored) for a name of kModuleNameUnits units or more.
bool StoreModuleName(const wchar_t* name);

} // namespace Common
} // namespace RVGameEngine
