#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/IEngineLog.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/CRawFile.h"
#include "engine/filesystem/ILogFile.h"

#include <string>

namespace RVGameEngine {
namespace FileSystem {

// Also the engine's base log: lines from the layers below the files arrive
// through WriteEngineLogMessage once the process-wide log has been made.
class CLogFile : public ILogFile, public Common::IEngineLog
{
public:
    // Tries a few times, milliseconds apart, each time with a fresh time
    // stamp; after that the run goes on without a file.
    static constexpr int kOpenAttempts = 5;
    static constexpr DWORD kOpenRetryDelayMilliseconds = 3;
    // Message and line buffers, in UTF-16 units with the terminator.
    static constexpr int kLineCapacity = 10000;

    CLogFile() = default;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Makes the run's file under the current directory, named after the
    // module and the local time. False when no attempt succeeded.
    bool OpenRunFile();
    // The time the next attempt's name is made from: now, or one
    // millisecond past the name already taken when the clock has not moved
    // beyond it (taken is null on the first attempt).
    static SYSTEMTIME NextFileTime(const SYSTEMTIME& now, const SYSTEMTIME* taken);
    // The name the file would get for this module and time.
    static std::wstring MakeFileName(const wchar_t* moduleName, const SYSTEMTIME& time);
    // The name of the file opened last (empty when none was).
    std::wstring GetFileName();

    void Log(int32_t level, const wchar_t* format, ...) override;
    void Flush() override;
    void SetFlag(bool flushEveryLine) override;
    void SetSecondFlag() override;
    bool Close() override;

    void WriteEngineLogMessage(int32_t level, const wchar_t* message) override;

private:
    bool OpenFile(const std::wstring& name);
    void WriteLine(int32_t level, const std::wstring& line);

    Common::TIntrusivePointer<CRawFile> m_file;
    Common::CCriticalSection m_lock;
    // Handlers are called one logging thread at a time, so that a handler
    // need not be written for concurrent calls.
    Common::CCriticalSection m_eventLock;
    bool m_flushEveryLine = false;
    bool m_scramble = false;
};

} // namespace FileSystem
} // namespace RVGameEngine
