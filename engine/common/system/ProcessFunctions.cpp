#include "engine/common/system/ProcessFunctions.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ILogFile.h"

#include <psapi.h>
#include <shellapi.h>
#include <strsafe.h>

#include <vector>

namespace RVGameEngine {
namespace Common {

const wchar_t* const kLaunchFailedMessage =
    L"执行程序失败：%ls，错误码：%d，请尝试重新执行游戏，如仍有问题请与客服联系。";

namespace {

constexpr size_t kMessageLength = 1000;
constexpr DWORD kPathBufferLength = 1000;

// The path comes from outside: it is only ever an argument of the format,
// and a path too long for the buffer cuts the message instead of overrunning it.
void ReportLaunchFailure(const wchar_t* path, DWORD errorCode)
{
    wchar_t message[kMessageLength] = {};
    StringCchPrintfW(message, kMessageLength, kLaunchFailedMessage, path != nullptr ? path : L"",
                     static_cast<int>(errorCode));
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"%s", message);
    EngineMessageBox(nullptr, message, L"提示", MB_OK);
}

// CreateProcessW may write into its command line, so it gets a private copy.
std::vector<wchar_t> WritableCopy(const wchar_t* text)
{
    std::vector<wchar_t> copy;
    if (text != nullptr)
        copy.assign(text, text + wcslen(text));
    copy.push_back(L'\0');
    return copy;
}

bool StartProcess(const wchar_t* application, const wchar_t* commandLine, DWORD flags,
                  const wchar_t* workingFolder, PROCESS_INFORMATION* started)
{
    std::vector<wchar_t> line = WritableCopy(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    *started = PROCESS_INFORMATION{};
    return CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, flags, nullptr, workingFolder,
                          &startup, started) != FALSE;
}

// Only the current-folder prefix goes: "../" must keep pointing at the parent.
const wchar_t* SkipCurrentFolderPrefix(const wchar_t* path)
{
    if (path[0] == L'.' && (path[1] == L'/' || path[1] == L'\\'))
        return path + 2;
    return path;
}

} // namespace

HANDLE LaunchProgram(const wchar_t* path, const wchar_t* parameters)
{
    if (path == nullptr) {
        ReportLaunchFailure(L"", ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The shell cannot open longer program paths (and some shells overrun
    // their own buffers on them): refuse them before they get there.
    if (wcslen(path) >= MAX_PATH) {
        ReportLaunchFailure(path, ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // The engine reports a failure with its own message: the shell's error
    // dialog would be a second, modal box that no message-box hook can take.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = SkipCurrentFolderPrefix(path);
    info.lpParameters = parameters;
    info.nShow = SW_SHOW;
    const BOOL executed = ShellExecuteExW(&info);
    if (!executed || info.hProcess == nullptr) {
        const DWORD error = GetLastError();
        ReportLaunchFailure(path, error);
        return nullptr;
    }
    return info.hProcess;
}

HANDLE LaunchProgramWithWorkingDirectory(const wchar_t* application, const wchar_t* commandLine,
                                         const wchar_t* workingFolder)
{
    PROCESS_INFORMATION started;
    if (!StartProcess(application, commandLine, CREATE_NEW_CONSOLE, workingFolder, &started)) {
        const DWORD error = GetLastError();
        ReportLaunchFailure(application, error);
        return nullptr;
    }
    CScopedKernelHandle thread(started.hThread);
    return started.hProcess;
}

uint32_t ExecuteProgram(const wchar_t* application, const wchar_t* commandLine)
{
    PROCESS_INFORMATION started;
    if (!StartProcess(application, commandLine, 0, nullptr, &started))
        return 0xFFFFFFFFu;
    CScopedKernelHandle process(started.hProcess);
    CScopedKernelHandle thread(started.hThread);
    WaitForSingleObject(thread.Get(), INFINITE);
    DWORD exitCode = 0xFFFFFFFFu;
    if (!GetExitCodeThread(thread.Get(), &exitCode))
        exitCode = 0xFFFFFFFFu;
    return exitCode;
}

namespace {

// Ends the process through the system call, past the runtime's exit path.
void TerminateThroughSystemCall(HANDLE process, uint32_t exitCode)
{
    using NtTerminateProcessFunction = LONG(WINAPI*)(HANDLE, LONG);
    CScopedModule ntdll(LoadLibraryW(L"ntdll.dll"));
    if (!ntdll)
        return;
    auto terminate = reinterpret_cast<NtTerminateProcessFunction>(
        reinterpret_cast<void*>(GetProcAddress(ntdll.Get(), "NtTerminateProcess")));
    if (terminate != nullptr)
        terminate(process, static_cast<LONG>(exitCode));
}

} // namespace

void ForceTerminateProcess(HANDLE process, uint32_t exitCode)
{
    // To the system call a null handle means "every other thread of this
    // process", and INVALID_HANDLE_VALUE is this process's own pseudo-handle:
    // a failed launch's result must end neither the caller nor its threads.
    if (process == nullptr || process == INVALID_HANDLE_VALUE) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                                L"ForceTerminateProcess: no process handle");
        return;
    }
    TerminateThroughSystemCall(process, exitCode);
}

void ForceExitProcess(uint32_t exitCode)
{
    TerminateThroughSystemCall(GetCurrentProcess(), exitCode);
}

TIntrusivePointer<IString> GetProcessPath(HANDLE process)
{
    wchar_t path[kPathBufferLength] = {};
    const DWORD length = GetModuleFileNameExW(process, nullptr, path, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength)
        path[0] = L'\0';
    return IString_Create_Utf16(path);
}

int32_t GetProcessMemoryUsage(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return 0;
    return static_cast<int32_t>(counters.PagefileUsage);
}

} // namespace Common
} // namespace RVGameEngine
