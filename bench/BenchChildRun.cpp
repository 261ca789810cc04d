#include "bench/BenchChildRun.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

using RVGameEngine::Common::CScopedKernelHandle;

namespace Bench {

bool RunChildForOutput(const std::wstring& program, const std::wstring& commandLine, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    CScopedKernelHandle readEnd;
    CScopedKernelHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0))
        return false;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    std::wstring writable = commandLine;
    const bool started = CreateProcessW(program.c_str(), &writable[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &child);
    const CScopedKernelHandle process(started ? child.hProcess : nullptr);
    const CScopedKernelHandle thread(started ? child.hThread : nullptr);
    // Only the child may hold the write end now, so its exit ends the reads.
    writeEnd.Close();
    if (!started)
        return false;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        output->append(buffer, read);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode == 0;
}

std::wstring OwnProgramPath()
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    return program;
}

} // namespace Bench
