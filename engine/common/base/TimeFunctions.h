#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Clocks.
// The multimedia timer's milliseconds; wraps after 2^32 ms like timeGetTime.
RV_API int32_t GetTimeMs();
// Seconds since the first call of GetPreciseTime in the process.
RV_API double GetPreciseTime();
// Microseconds (despite the name) since the first precise-time call. Wraps
// like a 32-bit counter: negative after about 36 minutes, back to 0 after 71.
RV_API int32_t GetPreciseTimeMs();

// Date time: the OLE automation date (days since 1899-12-30, fraction = time of day).
RV_API double SystemTimeToDateTime(const SYSTEMTIME& time);
RV_API SYSTEMTIME DateTimeToSystemTime(double dateTime);
RV_API double DateTimeToDoubleTime(uint16_t year, uint16_t month, uint16_t day,
                                   uint16_t hour, uint16_t minute, uint16_t second);
RV_API double DateTimeNow();

// Int time: a file time (100 ns units since 1601-01-01) of the record taken
// as it is, with no local/UTC conversion.
RV_API int64_t SystemTimeToInt64(const SYSTEMTIME& time);
RV_API SYSTEMTIME Int64ToSystemTime(int64_t intTime);
RV_API int64_t IntTimeNow();
RV_API int64_t DateTimeToIntTime(uint16_t year, uint16_t month, uint16_t day,
                                 uint16_t hour, uint16_t minute, uint16_t second);

// Time t: Unix seconds, converted from and to local time (standard time).
RV_API int64_t SystemTimeToTimeT(const SYSTEMTIME& time);
RV_API SYSTEMTIME TimeTToSystemTime(int64_t timeT);
RV_API int64_t TimeTNow();

} // namespace Common
} // namespace RVGameEngine
