#pragma once

// Ends running programs of the game before they are overwritten. The
// installer's own process is never ended, whatever its name or windows.

#include <windows.h>

// The game's programs, by executable name, and its frame windows by title.
void CloseRunningClientPrograms();
// Ends the first other process whose executable name contains the name
// (any letter case).
void TerminateProgramByName(const wchar_t* name);
// The first other process whose executable name contains the name, opened
// with the terminate right; null when there is none. The caller closes it.
HANDLE OpenProcessByName(const wchar_t* name);
// Ends the process of the first top-level window of that class and title
// that belongs to another process.
void TerminateWindowProcess(const wchar_t* windowClass, const wchar_t* title);
// The window's process opened with all access; null for the installer's own
// windows or when it cannot be opened. The caller closes it.
HANDLE OpenWindowProcess(HWND window);
