#include "engine/common/base/IEngineLog.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr size_t kMessageUnits = 10000;

// Set once by the log file, read by any thread.
std::atomic<IEngineLog*> g_engineLog{nullptr};

} // namespace

void SetEngineLog(IEngineLog* log)
{
    g_engineLog.store(log);
}

IEngineLog* GetEngineLog()
{
    return g_engineLog.load();
}

void EngineLog(int32_t level, const wchar_t* format, ...)
{
    if (format == nullptr)
        return;
    std::wstring message(kMessageUnits, L'\0');
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf(&message[0], kMessageUnits - 1, format, arguments);
    va_end(arguments);
    message.resize(wcslen(message.c_str()));

    if (IEngineLog* log = g_engineLog.load()) {
        log->WriteEngineLogMessage(level, message.c_str());
        return;
    }
    message += L"\n";
    OutputDebugStringW(message.c_str());
}

} // namespace Common
} // namespace RVGameEngine
