#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Levels of an engine log line; the log file writes them as "Trace",
// "Warning" and "Error".
enum enmEngineLogLevel : int32_t
{
    ENGINE_LOG_TRACE = 0,
    ENGINE_LOG_WARNING = 1,
    ENGINE_LOG_ERROR = 2,
};

// Where the engine's lowest layer sends its log lines. The layers below the
// log file cannot call it directly; the log file implements this and
// registers itself when it is made.
class IEngineLog
{
public:
    // `message` is the finished text, never a format.
    virtual void WriteEngineLogMessage(int32_t level, const wchar_t* message) = 0;

protected:
    ~IEngineLog() = default;
};

// Null goes back to the debugger output. The log registered must live until
// the process ends.
RV_API void SetEngineLog(IEngineLog* log);
RV_API IEngineLog* GetEngineLog();

// printf-style (%s takes a wide text); over-long messages are cut. Goes to
// the registered log, or to the debugger output while none is registered.
RV_API void EngineLog(int32_t level, const wchar_t* format, ...);

} // namespace Common
} // namespace RVGameEngine
