#include "HelperProcess.h"

#include "engine/common/ShellFunctions.h"
#include "engine/common/TextCodec.h"
#include "tests/support/TempFolder.h"

namespace SystemTests {

namespace {
constexpr DWORD kWaitMilliseconds = 60000;
}

std::wstring HelperPath()
{
    return std::wstring(RVGameEngine::Common::GetProgramDir()->GetUtf16()) + L"system_test_helper.exe";
}

ScopedEnvironment::ScopedEnvironment(const std::map<std::wstring, std::wstring>& variables) : m_variables(variables)
{
    for (const auto& variable : m_variables)
        SetEnvironmentVariableW(variable.first.c_str(), variable.second.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (const auto& variable : m_variables)
        SetEnvironmentVariableW(variable.first.c_str(), nullptr);
}

bool WaitForEnd(HANDLE process)
{
    return WaitForSingleObject(process, kWaitMilliseconds) == WAIT_OBJECT_0;
}

long RunHelper(const std::wstring& commandLine, const wchar_t* workingFolder)
{
    const std::wstring application = HelperPath();
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder,
                        &startup, &started))
        return -1;
    CloseHandle(started.hThread);
    long result = -1;
    DWORD exitCode = 0;
    if (WaitForEnd(started.hProcess) && GetExitCodeProcess(started.hProcess, &exitCode))
        result = static_cast<long>(exitCode);
    else
        TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hProcess);
    return result;
}

std::vector<std::wstring> ReadReport(const std::wstring& path)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    const std::wstring text = RVGameEngine::Common::NarrowToWide(RVGameEngine::Common::kCodePageUtf8, bytes.c_str());
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace SystemTests
