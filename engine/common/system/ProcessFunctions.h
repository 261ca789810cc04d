#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Shown and logged when a program cannot be started; formatted with the
// program path and the system error code.
extern const wchar_t* const kLaunchFailedMessage;

// Opens the path with the shell's "open" verb. A leading "./" or ".\" is
// dropped first. Returns the new process's handle (the caller closes it), or
// null after logging and showing the failure message.
RV_API HANDLE LaunchProgram(const wchar_t* path, const wchar_t* parameters);
// Starts the application in a new console with the given working folder.
// Returns the process handle (the caller closes it), or null after logging and
// showing the failure message.
RV_API HANDLE LaunchProgramWithWorkingDirectory(const wchar_t* application, const wchar_t* commandLine,
                                                const wchar_t* workingFolder);
// Starts the application and waits for its primary thread to end; returns
// that thread's exit code, or 0xFFFFFFFF (silently) when it cannot start.
RV_API uint32_t ExecuteProgram(const wchar_t* application, const wchar_t* commandLine);

// Ends a process at once, without running its exit code. A null handle is
// refused with a log line.
RV_API void ForceTerminateProcess(HANDLE process, uint32_t exitCode);
RV_API void ForceExitProcess(uint32_t exitCode);
// The main module's path of the process; empty when it cannot be read.
RV_API TIntrusivePointer<IString> GetProcessPath(HANDLE process);
// The process's page-file usage in bytes.
RV_API int32_t GetProcessMemoryUsage(HANDLE process);

} // namespace Common
} // namespace RVGameEngine
