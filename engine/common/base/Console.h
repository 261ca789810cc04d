#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// The process console for engine diagnostics.
RV_API void CreateConsole();
RV_API void HideConsole();
// Creates a console when the process has none.
RV_API void ShowConsole();
RV_API bool IsConsoleVisible();
RV_API void ToggleConsoleVisibility();

// Writes to standard output: the console when there is one, otherwise (output
// redirected to a file or pipe) the text's UTF-8 bytes.
RV_API void PrintUnicodeString(const wchar_t* text);

// Formatted output (Microsoft conventions: %s takes UTF-16 text). Results are
// cut at kFormattedTextUnits - 1 units rather than refused.
constexpr unsigned int kFormattedTextUnits = 10000;
RV_API void PrintUnicodeStringFormated(const wchar_t* format, ...);
// The same in yellow and in red on the console.
RV_API void PrintUnicodeStringFormated_Warning(const wchar_t* format, ...);
RV_API void PrintUnicodeStringFormated_Error(const wchar_t* format, ...);

// Writes the formatted text to the engine log as an error and shows it in a
// modal box captioned "Warning"; returns when the box is closed. The same
// warning raised again while its box is showing is logged only.
RV_API void ShowEngineDebuggingWarningMessage(const wchar_t* format, ...);

// Waits for one key press on the console, without echo. Returns at once when
// the process has no console input to wait on.
RV_API void WaitForAnyKey();

} // namespace Common
} // namespace RVGameEngine
