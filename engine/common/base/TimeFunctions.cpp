#include "engine/common/base/TimeFunctions.h"
#include "engine/common/base/LocalClock.h"

#include <oleauto.h>

#include <cmath>
#include <ctime>

namespace RVGameEngine {
namespace Common {

namespace {

using TimeGetTimeFunction = DWORD(WINAPI*)();

// The multimedia library need not be loaded by anyone else yet: load it
// ourselves rather than fall back to a coarser clock. It stays loaded for the
// life of the process, as the cached address requires.
TimeGetTimeFunction LookUpTimeGetTime()
{
    HMODULE module = GetModuleHandleW(L"winmm.dll");
    if (module == nullptr)
        module = LoadLibraryW(L"winmm.dll");
    if (module == nullptr)
        return nullptr;
    FARPROC address = GetProcAddress(module, "timeGetTime");
    // Through the generic function type, which converts to any other without
    // a warning about mismatched signatures.
    return reinterpret_cast<TimeGetTimeFunction>(reinterpret_cast<void (*)()>(address));
}

struct PreciseClockStart
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;

    PreciseClockStart()
    {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
    }
};

SYSTEMTIME MakeSystemTime(uint16_t year, uint16_t month, uint16_t day,
                          uint16_t hour, uint16_t minute, uint16_t second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

} // namespace

int32_t GetTimeMs()
{
    static const TimeGetTimeFunction timeGetTimeFunction = LookUpTimeGetTime();
    if (timeGetTimeFunction == nullptr)
        return static_cast<int32_t>(GetTickCount());
    return static_cast<int32_t>(timeGetTimeFunction());
}

double GetPreciseTime()
{
    static const PreciseClockStart start;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (start.frequency.QuadPart == 0)
        return 0.0;
    return static_cast<double>(now.QuadPart - start.counter.QuadPart) /
           static_cast<double>(start.frequency.QuadPart);
}

int32_t GetPreciseTimeMs()
{
    // Through 64 bits: a double beyond the 32-bit range must not be converted
    // straight to a 32-bit integer.
    const int64_t microseconds = static_cast<int64_t>(GetPreciseTime() * 1000.0 * 1000.0);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(microseconds)));
}

double SystemTimeToDateTime(const SYSTEMTIME& time)
{
    SYSTEMTIME copy = time;
    double dateTime = 0.0;
    if (!SystemTimeToVariantTime(&copy, &dateTime))
        return 0.0;
    return dateTime;
}

SYSTEMTIME DateTimeToSystemTime(double dateTime)
{
    SYSTEMTIME time = {};
    // NaN compares false with every range limit and would come back as the
    // zero date: it names no moment, so it gets the failure record.
    if (std::isnan(dateTime) || !VariantTimeToSystemTime(dateTime, &time))
        time = SYSTEMTIME{};
    return time;
}

double DateTimeToDoubleTime(uint16_t year, uint16_t month, uint16_t day,
                            uint16_t hour, uint16_t minute, uint16_t second)
{
    return SystemTimeToDateTime(MakeSystemTime(year, month, day, hour, minute, second));
}

double DateTimeNow()
{
    SYSTEMTIME now;
    GetEngineLocalTime(&now);
    return SystemTimeToDateTime(now);
}

int64_t SystemTimeToInt64(const SYSTEMTIME& time)
{
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&time, &fileTime))
        return 0;
    ULARGE_INTEGER value;
    value.LowPart = fileTime.dwLowDateTime;
    value.HighPart = fileTime.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart);
}

SYSTEMTIME Int64ToSystemTime(int64_t intTime)
{
    ULARGE_INTEGER value;
    value.QuadPart = static_cast<uint64_t>(intTime);
    FILETIME fileTime;
    fileTime.dwLowDateTime = value.LowPart;
    fileTime.dwHighDateTime = value.HighPart;
    SYSTEMTIME time = {};
    if (!FileTimeToSystemTime(&fileTime, &time))
        time = SYSTEMTIME{};
    return time;
}

int64_t IntTimeNow()
{
    SYSTEMTIME now;
    GetEngineLocalTime(&now);
    return SystemTimeToInt64(now);
}

int64_t DateTimeToIntTime(uint16_t year, uint16_t month, uint16_t day,
                          uint16_t hour, uint16_t minute, uint16_t second)
{
    return SystemTimeToInt64(MakeSystemTime(year, month, day, hour, minute, second));
}

int64_t SystemTimeToTimeT(const SYSTEMTIME& time)
{
    struct tm broken = {};
    broken.tm_sec = time.wSecond;
    broken.tm_min = time.wMinute;
    broken.tm_hour = time.wHour;
    broken.tm_mday = time.wDay;
    broken.tm_mon = time.wMonth - 1;
    broken.tm_year = time.wYear - 1900;
    broken.tm_wday = time.wDayOfWeek;
    broken.tm_yday = 0;
    broken.tm_isdst = 0;
    return static_cast<int64_t>(_mktime64(&broken));
}

SYSTEMTIME TimeTToSystemTime(int64_t timeT)
{
    SYSTEMTIME time = {};
    const __time64_t value = static_cast<__time64_t>(timeT);
    const struct tm* broken = _localtime64(&value);
    if (broken == nullptr)
        return time;
    time.wYear = static_cast<WORD>(broken->tm_year + 1900);
    time.wMonth = static_cast<WORD>(broken->tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(broken->tm_wday);
    time.wDay = static_cast<WORD>(broken->tm_mday);
    time.wHour = static_cast<WORD>(broken->tm_hour);
    time.wMinute = static_cast<WORD>(broken->tm_min);
    time.wSecond = static_cast<WORD>(broken->tm_sec);
    return time;
}

int64_t TimeTNow()
{
    return static_cast<int64_t>(_time64(nullptr));
}

} // namespace Common
} // namespace RVGameEngine
