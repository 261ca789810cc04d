#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace SystemTests {

// Full path of the helper program built next to the test executable.
std::wstring HelperPath();

// Sets environment variables for its lifetime (children inherit them) and
// removes them afterwards.
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(const std::map<std::wstring, std::wstring>& variables);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::map<std::wstring, std::wstring> m_variables;
};

// Starts the helper with exactly this command line and waits (bounded) for
// it to end. Returns its exit code, or -1 when it did not start or end.
long RunHelper(const std::wstring& commandLine, const wchar_t* workingFolder = nullptr);

// Waits for a process, bounded; true when it ended.
bool WaitForEnd(HANDLE process);

// The lines of a UTF-8 file the helper wrote.
std::vector<std::wstring> ReadReport(const std::wstring& path);

} // namespace SystemTests
