#pragma once

// The process's one install worker, as the installer's window and main flow
// drive it. The options and flags are shared with the UI thread.

#include "installer/core/install/tagInstallPaths.h"

#include <windows.h>

// Stores the options for the worker (replacing earlier ones); the record
// must live for the rest of the process.
void SetInstallOption(tagInstallPaths* options);
// Starts the worker the first time; later calls do nothing.
void StartInstallThread();
// True once the worker has been started (also after it has ended).
bool IsInstallThreadRunning();
// Waits, at most the time given, until the worker thread has ended; true
// when it has (or never started). A worker still running then is logged: the
// process should not end under it.
bool WaitForInstallThread(DWORD limitMs);
// Raised as the worker's last step, also after a failed install.
bool IsInstallFinished();
// Raised with the finished flag when the game files could not be installed
// whole: then no shortcuts, install record or uninstall entry were made.
bool IsInstallFailed();

DWORD WINAPI InstallThreadProc(LPVOID argument);
// The install on the calling thread. Stored options are required: without
// them the program stops.
void InstallThreadMain();
