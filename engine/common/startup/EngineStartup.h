#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/ModuleName.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// Called when an exception reaches the top of a thread: before the dump is
// written, and afterwards with the dump's full path (also when it could not
// be written).
using PreSaveDumpHook = void (*)();
using PostSaveDumpHook = void (*)(const wchar_t* dumpPath);

// Shown after a crash; the second when no dump could be written.
extern const wchar_t* const kCrashMessage;
extern const wchar_t* const kCrashMessageNoDump;

// The engine's start-up, first thing on the main thread, once: records the
// module name (used in log and dump names; 1,000 units or more stops the
// program) and the program folder, installs the crash filter, raises the
// multimedia timer resolution, starts Winsock, COM and OLE, and prepares the
// UI framework's frame and font managers. Nothing is undone at exit.
// With fullDump the crash dump also holds private read/write memory.
RV_API void EngineInitialize(const wchar_t* moduleName);
RV_API void EngineInitialize(const wchar_t* moduleName, PreSaveDumpHook preSaveDump);
RV_API void EngineInitialize(const wchar_t* moduleName, PreSaveDumpHook preSaveDump, bool fullDump);

// Null removes the hook.
RV_API void SetExceptionHandler_PreSaveDump(PreSaveDumpHook hook);
RV_API void SetExceptionHandler_PostSaveDump(PostSaveDumpHook hook);

// The executable's folder, ending in its separator.
RV_API const wchar_t* CoreGetProgramDir();

// The crash filter: writes "Dump\<module>_<date>_<time>[_n].dmp" under the
// current directory, shows the apology and lets the process end.
RV_API LONG WINAPI DefaultUnhandledExceptionFilter(EXCEPTION_POINTERS* exception);

} // namespace Common
} // namespace RVGameEngine
