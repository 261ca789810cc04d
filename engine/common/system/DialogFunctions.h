#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// A message box with the text, the engine's caption and an OK button.
RV_API void ShowSimpleTips(const wchar_t* text);
RV_API void ShowSimpleTips(HWND owner, const wchar_t* text);

// The common file dialogs. Slashes in the folder and file name become
// backslashes; the current directory is the initial folder while the dialog
// is open and is restored afterwards. An empty text when cancelled.
RV_API TIntrusivePointer<IString> ShowOpenFileDialog(HWND owner, const wchar_t* initialFolder, const wchar_t* filter,
                                                     const wchar_t* defaultExtension, const wchar_t* initialFileName);
RV_API TIntrusivePointer<IString> ShowSaveFileDialog(HWND owner, const wchar_t* initialFolder, const wchar_t* filter,
                                                     const wchar_t* defaultExtension, const wchar_t* initialFileName);
// The full colour dialog; the initial colour when cancelled.
RV_API COLORREF ShowChooseColorDialog(HWND owner, COLORREF initialColor);
// The shell's folder browser; an empty text when cancelled.
RV_API TIntrusivePointer<IString> ShowSelectDirectory();

} // namespace Common
} // namespace RVGameEngine
