#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// Every message box the engine shows passes through here, so that a program
// without a user (a test run) can take the text instead of blocking on a
// modal box. The hook returns what MessageBoxW would have returned.
using EngineMessageBoxHook = int (*)(const wchar_t* text, const wchar_t* caption, unsigned int type);

// Null restores the real message box. Returns the previous hook.
RV_API EngineMessageBoxHook SetEngineMessageBoxHook(EngineMessageBoxHook hook);
RV_API int EngineMessageBox(void* ownerWindow, const wchar_t* text, const wchar_t* caption, unsigned int type);

// The engine's warning: a plain OK box captioned "Warning", without owner.
// The box's modal loop keeps running tick and paint handlers, which may run
// into the same fault again: while a warning is showing, the same text is not
// stacked on top of it (false then; true when the box was shown).
RV_API bool ShowEngineWarningBox(const wchar_t* text);

} // namespace Common
} // namespace RVGameEngine
