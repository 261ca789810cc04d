#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Log levels and the words written for them; any other level is written as
// "Trace" and not echoed to the console.
enum enmLogLevel : int32_t
{
    LOG_LEVEL_TRACE = 0,
    LOG_LEVEL_WARNING = 1,
    LOG_LEVEL_ERROR = 2,
};

// Event id raised by the log for every line before it is written.
constexpr int32_t kLogFileLogEvent = 0;

// Raised (sender: the log) on the logging thread, outside the log's lock.
// A handler that sets `handled` keeps the line out of the file and the console.
struct RV_API tagLogFileLogEventArgs : public Common::tagEventArgs
{
    int32_t level = 0;
    const wchar_t* message = nullptr;
    const wchar_t* line = nullptr;
    bool handled = false;
};

// The process-wide log: one UTF-16LE file (with byte-order mark) per run,
// "./ReadWrite/Log/<module>/<module>_YYYYMMDD_HHMMSS_mmm.log" under the
// current directory of the first use, one line per entry:
// "<Level>: YYYY-MM-DD HH:MM:SS mmm: <message>\r\n". Any thread may log.
// When the file cannot be made the run goes on, logging to the console only.
class RV_API ILogFile : public Common::CEventDelegateManager
{
public:
    // printf-style in the engine's wide convention: %s takes a wide text.
    // Over-long messages are cut, never fatal.
    virtual void Log(int32_t level, const wchar_t* format, ...) = 0;
    virtual void Flush() = 0;
    // Flush the file after every line.
    virtual void SetFlag(bool flushEveryLine) = 0;
    // Scramble every later line (there is no way back).
    virtual void SetSecondFlag() = 0;
    // Ends file output (the console echo goes on); true when a file was closed.
    virtual bool Close() = 0;
};

// Made, and its file opened, on the first call; that first call must come
// before other threads log. Never destroyed.
RV_API ILogFile* ILogFile_GetInstance();

} // namespace FileSystem
} // namespace RVGameEngine
