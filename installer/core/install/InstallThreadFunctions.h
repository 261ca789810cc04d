#pragma once

// The process's one install worker, as the installer's window and main flow
// drive it. The options and flags are shared with the UI thread.

#include "installer/core/install/tagInstallPaths.h"

#include <windows.h>

#include <string>

// A new options record, filled with these, for SetInstallOption (never
// freed: the worker reads it for the rest of the process). Null, logged,
// when there is no memory for one.
tagInstallPaths* NewInstallOptions(const std::wstring& path, bool desktopShortcut, bool startMenuShortcuts);
// Makes an empty record as new (std::nothrow) does: null when there is no
// memory. The system's by default; a test puts its own in place (null gives
// the system's back).
using InstallOptionsAllocation = tagInstallPaths* (*)();
void SetInstallOptionsAllocationForTests(InstallOptionsAllocation allocate);
// Stores the options for the worker (replacing earlier ones); the record
// must live for the rest of the process.
void SetInstallOption(tagInstallPaths* options);
// Starts a thread that runs the procedure, as CreateThread does: null, with
// the thread's last error set, when none can be started. The system's by
// default; tests put their own in place.
using InstallThreadStart = HANDLE (*)(LPTHREAD_START_ROUTINE procedure);
void SetInstallThreadStart(InstallThreadStart start);
// Asks for the install: starts the worker the first time; later calls do
// nothing. Without stored options no worker is started (logged); a worker
// whose thread cannot be started is logged with the system's error. Either
// way the install counts as finished and failed, so that nothing waits for
// it.
void StartInstallThread();
// True once an install has been asked for, whether or not its worker could
// be started.
bool IsInstallAskedFor();
// True once the worker's thread has been started (also after it has ended).
bool IsInstallThreadRunning();
// Waits, at most the time given, until the worker thread has ended; true
// when it has (or never started). A worker still running then is logged: the
// process should not end under it.
bool WaitForInstallThread(DWORD limitMs);
// Raised as the worker's last step, also after a failed install, and at
// once when the worker could not be started.
bool IsInstallFinished();
// Raised with the finished flag when the game files could not be installed
// whole (or the worker not started): then no shortcuts, install record or
// uninstall entry were made.
bool IsInstallFailed();

DWORD WINAPI InstallThreadProc(LPVOID argument);
// The install on the calling thread. Stored options are required: without
// them the program stops.
void InstallThreadMain();
