#include "engine/common/ColorFunctions.h"
#include "engine/common/TimeFunctions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

using namespace RVGameEngine::Common;

namespace {

SYSTEMTIME Make(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

void ExpectSameMoment(const SYSTEMTIME& actual, const SYSTEMTIME& expected)
{
    EXPECT_EQ(actual.wYear, expected.wYear);
    EXPECT_EQ(actual.wMonth, expected.wMonth);
    EXPECT_EQ(actual.wDay, expected.wDay);
    EXPECT_EQ(actual.wHour, expected.wHour);
    EXPECT_EQ(actual.wMinute, expected.wMinute);
    EXPECT_EQ(actual.wSecond, expected.wSecond);
}

} // namespace

TEST(TimeClocks, MillisecondClockLoadsTheTimerLibraryItself)
{
    const int32_t first = GetTimeMs();
    // Whatever was loaded before, the clock has the library now.
    EXPECT_NE(GetModuleHandleW(L"winmm.dll"), nullptr);
    Sleep(50);
    const int32_t elapsed = GetTimeMs() - first;
    EXPECT_GE(elapsed, 40);

    const double start = GetPreciseTime();
    const int32_t startMicroseconds = GetPreciseTimeMs();
    Sleep(20);
    EXPECT_GE(GetPreciseTime() - start, 0.015);
    EXPECT_GE(GetPreciseTimeMs() - startMicroseconds, 15000);
}

TEST(TimeDates, AutomationDateEdges)
{
    EXPECT_EQ(DateTimeToDoubleTime(1899, 12, 30, 0, 0, 0), 0.0);
    EXPECT_EQ(DateTimeToDoubleTime(1900, 1, 1, 12, 0, 0), 2.5);
    EXPECT_EQ(DateTimeToDoubleTime(1899, 12, 29, 0, 0, 0), -1.0);
    EXPECT_EQ(DateTimeToDoubleTime(2000, 1, 1, 0, 0, 0), 36526.0);

    ExpectSameMoment(DateTimeToSystemTime(0.0), Make(1899, 12, 30, 0, 0, 0));
    ExpectSameMoment(DateTimeToSystemTime(2.5), Make(1900, 1, 1, 12, 0, 0));
    const SYSTEMTIME moment = Make(2026, 2, 28, 23, 59, 58);
    ExpectSameMoment(DateTimeToSystemTime(SystemTimeToDateTime(moment)), moment);
    EXPECT_GT(DateTimeNow(), 45000.0); // after 2023
}

TEST(TimeDates, FileTimeEdges)
{
    EXPECT_EQ(DateTimeToIntTime(1601, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(DateTimeToIntTime(1970, 1, 1, 0, 0, 0), 116444736000000000LL);
    EXPECT_EQ(DateTimeToIntTime(1970, 1, 1, 0, 0, 1) - DateTimeToIntTime(1970, 1, 1, 0, 0, 0), 10000000LL);
    const SYSTEMTIME moment = Make(2024, 2, 29, 13, 14, 15);
    ExpectSameMoment(Int64ToSystemTime(SystemTimeToInt64(moment)), moment);
    // A record that names no day converts to 0 rather than garbage.
    EXPECT_EQ(SystemTimeToInt64(Make(2024, 2, 30, 0, 0, 0)), 0);
    EXPECT_GT(IntTimeNow(), DateTimeToIntTime(2023, 1, 1, 0, 0, 0));
}

TEST(TimeDates, UnixTimeRoundTripsThroughLocalTime)
{
    const SYSTEMTIME moment = Make(2021, 7, 14, 8, 30, 5);
    const int64_t seconds = SystemTimeToTimeT(moment);
    ExpectSameMoment(TimeTToSystemTime(seconds), moment);
    EXPECT_EQ(SystemTimeToTimeT(Make(2021, 7, 15, 8, 30, 5)) - seconds, 86400);
    // Beyond 2038: the 64-bit forms do not wrap.
    const SYSTEMTIME late = Make(2040, 1, 1, 0, 0, 0);
    ExpectSameMoment(TimeTToSystemTime(SystemTimeToTimeT(late)), late);
    EXPECT_GT(TimeTNow(), 1672531200); // after 2023
    const SYSTEMTIME none = TimeTToSystemTime(-(1LL << 50));
    EXPECT_EQ(none.wYear, 0);
}

TEST(Color, ThreeAndFourNumberForms)
{
    int a = 0, r = 0, g = 0, b = 0;
    ParseColorString(L"10,20,30", a, r, g, b);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);

    ParseColorString(L"128,10,20,30", a, r, g, b);
    EXPECT_EQ(a, 128);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);

    // Leading white space, trailing junk and a fifth field.
    ParseColorString(L" 1, 2x ,3 ,4,5", a, r, g, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(g, 3);
    EXPECT_EQ(b, 4);

    // Not clamped; a field without digits reads 0.
    ParseColorString(L"300,,-5", a, r, g, b);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(r, 300);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, -5);

    ParseColorString(L"99999999999,0,0", a, r, g, b);
    EXPECT_EQ(r, INT_MAX);
}

TEST(Color, TooFewCommasGiveOpaqueBlack)
{
    for (const wchar_t* text : {L"10,20", L"", L"255", L"garbage", static_cast<const wchar_t*>(nullptr)}) {
        int a = 1, r = 2, g = 3, b = 4;
        ParseColorString(text, a, r, g, b);
        EXPECT_EQ(a, 255);
        EXPECT_EQ(r, 0);
        EXPECT_EQ(g, 0);
        EXPECT_EQ(b, 0);
    }
}
