#include "engine/filesystem/FileSystemLog.h"

#include "engine/common/base/Console.h"
#include "engine/filesystem/ILogFile.h"

#include <cstdio>
#include <cwchar>

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr int kMessageCapacity = 10000;

thread_local int t_insideLog = 0;

} // namespace

CLogReentryGuard::CLogReentryGuard() { ++t_insideLog; }
CLogReentryGuard::~CLogReentryGuard() { --t_insideLog; }
bool CLogReentryGuard::IsInsideLog() { return t_insideLog > 0; }

void FormatBounded(wchar_t* buffer, int capacity, const wchar_t* format, va_list arguments)
{
    if (buffer == nullptr || capacity <= 0)
        return;
    buffer[0] = L'\0';
    if (format == nullptr)
        return;
    // The runtime's own formatter: %s takes a wide text in a wide format, as
    // everywhere in the engine. It reports a cut result as -1 and may leave
    // the buffer without a terminator.
    const int written = _vsnwprintf(buffer, static_cast<size_t>(capacity - 1), format, arguments);
    if (written < 0 || written >= capacity - 1)
        buffer[capacity - 1] = L'\0';
}

void FileSystemLog(int32_t level, const wchar_t* format, ...)
{
    if (CLogReentryGuard::IsInsideLog())
        return;
    wchar_t message[kMessageCapacity];
    va_list arguments;
    va_start(arguments, format);
    FormatBounded(message, kMessageCapacity, format, arguments);
    va_end(arguments);
    ILogFile_GetInstance()->Log(level, L"%s", message);
}

void ShowFileWarning(const wchar_t* format, const wchar_t* name)
{
    if (CLogReentryGuard::IsInsideLog())
        return;
    wchar_t message[kMessageCapacity];
    _snwprintf(message, kMessageCapacity - 1, format, name != nullptr ? name : L"");
    message[kMessageCapacity - 1] = L'\0';
    Common::ShowEngineDebuggingWarningMessage(L"%s", message);
}

} // namespace FileSystem
} // namespace RVGameEngine
