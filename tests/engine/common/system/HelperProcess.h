#pragma once

#include "engine/common/system/ShellFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/base/TextCodec.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

namespace SystemTests {

// Full path of the helper program built next to the test executable.
inline std::wstring HelperPath()
{
    return std::wstring(RVGameEngine::Common::GetProgramDir()->GetUtf16()) + L"system_test_helper.exe";
}

// Sets environment variables for its lifetime (children inherit them).
struct ScopedEnvironment
{
    using Variables = std::vector<std::pair<std::wstring, std::wstring>>;
    explicit ScopedEnvironment(Variables set) : variables(std::move(set))
    {
        for (const auto& [name, value] : variables)
            SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    ~ScopedEnvironment()
    {
        for (const auto& variable : variables)
            SetEnvironmentVariableW(variable.first.c_str(), nullptr);
    }
    const Variables variables;
};

// Waits (bounded) for a process to end and closes it; its exit code, or -1.
inline long ExitCodeAfterEnd(HANDLE process)
{
    DWORD code = 0;
    if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
        TerminateProcess(process, code = static_cast<DWORD>(-1));
    RVGameEngine::Common::CScopedKernelHandle closing(process);
    return static_cast<long>(code);
}

// Starts the helper with exactly this command line and waits for its end.
inline long RunHelper(std::wstring commandLine, const wchar_t* workingFolder = nullptr)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(HelperPath().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workingFolder,
                        &startup, &started))
        return -1;
    RVGameEngine::Common::CScopedKernelHandle thread(started.hThread);
    return ExitCodeAfterEnd(started.hProcess);
}

// The lines of a UTF-8 file the helper wrote.
inline std::vector<std::wstring> ReadReport(const std::wstring& path)
{
    using namespace RVGameEngine::Common;
    std::wistringstream text(NarrowToWide(kCodePageUtf8, RVTest::ReadWholeFile(path).c_str()));
    std::vector<std::wstring> lines;
    for (std::wstring line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

} // namespace SystemTests
