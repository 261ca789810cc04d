#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// Opens or creates the key with all access; null on failure.
RV_API HKEY CreateRegisterKey(HKEY parent, const wchar_t* subkeyPath);
// Writes a REG_SZ value; 1 on success, 0 on failure or a null argument.
RV_API int WriteRegisterKeyValue(HKEY key, const wchar_t* valueName, const wchar_t* text);
RV_API void CloseRegisterKey(HKEY key);
RV_API void DeleteRegisterKey(HKEY parent, const wchar_t* subkeyPath);

} // namespace Common
} // namespace RVGameEngine
