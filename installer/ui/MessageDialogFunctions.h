#pragma once

// Showing the installer's message dialogs, and releasing them once closed.

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"

#include <windows.h>

#include <cstddef>

class CCommonDialog;

// A message over the owner (disabled while it is open); over a minimised or
// missing owner the dialog is owner-less, centred and kept on top. Returns the
// dialog shown (held until it has closed and been released).
CCommonDialog* ShowMessageDialog(const RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame>& owner,
                                 const wchar_t* text);
CCommonDialog* ShowMessageDialogTopMost(HWND window, const wchar_t* text);

// Delivers the queued "DeleteSelf" requests, then releases every dialog that
// asked for it once its window is gone. The main loop's ticks call it.
void ReleaseClosedDialogs();
// Dialogs shown and not yet released.
size_t GetOpenDialogCount();
