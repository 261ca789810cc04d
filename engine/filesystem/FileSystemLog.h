#pragma once

#include <cstdarg>
#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Writes a line to the engine's log on behalf of the file layer. The log
// itself is built on the file layer: while this thread is inside the log
// (making it or writing a line), these calls are dropped instead of
// recursing.
void FileSystemLog(int32_t level, const wchar_t* format, ...);

// The engine's file warnings ("Failed to open file: %s" and the like):
// logged and shown to the user in the engine's warning box.
void ShowFileWarning(const wchar_t* format, const wchar_t* name);

// Marks this thread as inside the log for its lifetime.
class CLogReentryGuard
{
public:
    CLogReentryGuard();
    ~CLogReentryGuard();
    CLogReentryGuard(const CLogReentryGuard&) = delete;
    CLogReentryGuard& operator=(const CLogReentryGuard&) = delete;

    static bool IsInsideLog();
};

// Formats printf-style (the engine's wide convention, %s = wide text) into a
// buffer of `capacity` units, cutting an over-long result; never fails.
void FormatBounded(wchar_t* buffer, int capacity, const wchar_t* format, va_list arguments);

} // namespace FileSystem
} // namespace RVGameEngine
