#include "engine/filesystem/CLogFile.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/Console.h"
#include "engine/common/base/LocalClock.h"
#include "engine/common/base/ModuleName.h"
#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ScrambleKeys.h"

#include <cstdarg>
#include <cstdio>
#include <new>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

using Common::CAutoLock;
using Common::TIntrusivePointer;

namespace {

const wchar_t* LevelWord(int32_t level)
{
    switch (level) {
    case LOG_LEVEL_WARNING:
        return L"Warning";
    case LOG_LEVEL_ERROR:
        return L"Error";
    default:
        return L"Trace";
    }
}

// Set while this thread runs log handlers: a line a handler logs is dropped,
// or the handler would be called again for it, without end.
thread_local bool t_inLogHandler = false;

} // namespace

std::wstring CLogFile::MakeFileName(const wchar_t* moduleName, const SYSTEMTIME& time)
{
    const wchar_t* module = moduleName != nullptr ? moduleName : L"";
    wchar_t name[2200];
    _snwprintf(name, sizeof name / sizeof name[0] - 1, L"./ReadWrite/Log/%s/%s_%04d%02d%02d_%02d%02d%02d_%03d.log",
               module, module, time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
               time.wMilliseconds);
    name[sizeof name / sizeof name[0] - 1] = L'\0';
    return name;
}

SYSTEMTIME CLogFile::NextFileTime(const SYSTEMTIME& now, const SYSTEMTIME* taken)
{
    FILETIME nowTime{};
    FILETIME takenTime{};
    if (taken == nullptr || !SystemTimeToFileTime(&now, &nowTime) || !SystemTimeToFileTime(taken, &takenTime) ||
        CompareFileTime(&nowTime, &takenTime) > 0)
        return now;
    // The clock has not moved past the name taken: one millisecond on.
    ULARGE_INTEGER later;
    later.LowPart = takenTime.dwLowDateTime;
    later.HighPart = takenTime.dwHighDateTime;
    later.QuadPart += 10000;
    takenTime.dwLowDateTime = later.LowPart;
    takenTime.dwHighDateTime = later.HighPart;
    SYSTEMTIME next = *taken;
    FileTimeToSystemTime(&takenTime, &next);
    return next;
}

bool CLogFile::OpenRunFile()
{
    SYSTEMTIME stamp{};
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(kOpenRetryDelayMilliseconds);
        SYSTEMTIME now{};
        Common::GetEngineLocalTime(&now);
        stamp = NextFileTime(now, attempt > 0 ? &stamp : nullptr);
        if (OpenFile(MakeFileName(Common::GetModuleName(), stamp)))
            return true;
    }
    return false;
}

// The file's folders and the file itself are made through handles, from the
// current folder down, never through a link; the name is new to the
// millisecond, so one already there (planted, or a link) is never opened.
bool CLogFile::OpenFile(const std::wstring& name)
{
    CLogReentryGuard insideLog;
    CAutoLock guard(&m_lock);
    m_file = TIntrusivePointer<CRawFile>(new (std::nothrow) CRawFile());
    if (m_file.IsNull())
        return false;
    TIntrusivePointer<Common::IString> replaced = IVirtualFileSystem_GetInstance()->ReplaceFilename(name.c_str());
    const std::wstring written = replaced ? replaced->GetUtf16() : L"";
    CCheckedFileWriter writer(FILE_EXISTING_REFUSED);
    CHECKED_REACH reach = CHECKED_REACH_DONE;
    DWORD error = ERROR_SUCCESS;
    const HANDLE file = written.empty() ? INVALID_HANDLE_VALUE : writer.Open(written, &reach, &error);
    static const uint8_t byteOrderMark[2] = {0xFF, 0xFE};
    if (file != INVALID_HANDLE_VALUE && m_file->Attach(file, written.c_str()) && m_file->WriteNext(byteOrderMark, 2))
        return true;
    m_file.Reset();
    return false;
}

std::wstring CLogFile::GetFileName()
{
    CAutoLock guard(&m_lock);
    return m_file ? m_file->GetName() : L"";
}

void CLogFile::Log(int32_t level, const wchar_t* format, ...)
{
    if (t_inLogHandler)
        return;
    std::vector<wchar_t> message(kLineCapacity);
    va_list arguments;
    va_start(arguments, format);
    FormatBounded(message.data(), kLineCapacity, format, arguments);
    va_end(arguments);

    SYSTEMTIME now{};
    Common::GetEngineLocalTime(&now);
    wchar_t prefix[96];
    _snwprintf(prefix, sizeof prefix / sizeof prefix[0] - 1, L"%s: %04d-%02d-%02d %02d:%02d:%02d %03d: ",
               LevelWord(level), now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
               now.wMilliseconds);
    prefix[sizeof prefix / sizeof prefix[0] - 1] = L'\0';
    std::wstring line = prefix;
    line += message.data();
    // An over-long line is cut, but still ends the line.
    if (line.size() > static_cast<size_t>(kLineCapacity - 3))
        line.resize(static_cast<size_t>(kLineCapacity - 3));
    line += L"\r\n";

    tagLogFileLogEventArgs args;
    args.level = level;
    args.message = message.data();
    args.line = line.c_str();
    {
        CAutoLock guard(&m_eventLock);
        t_inLogHandler = true;
        Fire(kLogFileLogEvent, this, &args);
        t_inLogHandler = false;
    }
    if (!args.handled)
        WriteLine(level, line);
}

void CLogFile::WriteLine(int32_t level, const std::wstring& line)
{
    {
        CLogReentryGuard insideLog;
        CAutoLock guard(&m_lock);
        if (m_file && m_file->IsOpen()) {
            const uint32_t bytes = static_cast<uint32_t>(line.size() * sizeof(wchar_t));
            if (m_scramble) {
                std::wstring scrambled = line;
                for (wchar_t& unit : scrambled)
                    unit = static_cast<wchar_t>(unit ^ kLogScrambleKey);
                m_file->WriteNext(scrambled.data(), bytes);
            } else {
                m_file->WriteNext(line.data(), bytes);
            }
            if (m_flushEveryLine)
                m_file->Flush();
        }
    }
    switch (level) {
    case LOG_LEVEL_TRACE:
        Common::PrintUnicodeStringFormated(L"%s", line.c_str());
        break;
    case LOG_LEVEL_WARNING:
        Common::PrintUnicodeStringFormated_Warning(L"%s", line.c_str());
        break;
    case LOG_LEVEL_ERROR:
        Common::PrintUnicodeStringFormated_Error(L"%s", line.c_str());
        break;
    default:
        break;
    }
}

void CLogFile::Flush()
{
    CAutoLock guard(&m_lock);
    if (m_file)
        m_file->Flush();
}

// The flags are read while a line is written, perhaps on another thread.
void CLogFile::SetFlag(bool flushEveryLine)
{
    CAutoLock guard(&m_lock);
    m_flushEveryLine = flushEveryLine;
}

void CLogFile::SetSecondFlag()
{
    CAutoLock guard(&m_lock);
    m_scramble = true;
}

bool CLogFile::Close()
{
    CAutoLock guard(&m_lock);
    if (m_file.IsNull() || !m_file->IsOpen())
        return false;
    m_file->Close();
    return true;
}

void CLogFile::WriteEngineLogMessage(int32_t level, const wchar_t* message)
{
    Log(level, L"%s", message != nullptr ? message : L"");
}

ILogFile* ILogFile_GetInstance()
{
    // Never destroyed: other objects may log during the process's exit.
    static CLogFile* instance = [] {
        CLogFile* log = new CLogFile();
        log->OpenRunFile();
        Common::SetEngineLog(log);
        return log;
    }();
    return instance;
}

} // namespace FileSystem
} // namespace RVGameEngine
