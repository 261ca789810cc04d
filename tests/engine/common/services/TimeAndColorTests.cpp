#include "engine/common/base/ColorFunctions.h"
#include "engine/common/base/TimeFunctions.h"
#include "engine/common/base/tagColor.h"
#include "engine/directui/uisystem/tagColor.h"
#include "engine/video/tagColor.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cmath>
#include <tuple>

using namespace RVGameEngine::Common;

namespace {

SYSTEMTIME Make(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

// The fields a date conversion sets, printed as numbers when a check fails.
std::tuple<int, int, int, int, int, int> Fields(const SYSTEMTIME& t)
{
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

} // namespace

TEST(TimeClocks, MillisecondClockLoadsTheTimerLibraryItself)
{
    const int32_t first = GetTimeMs();
    // Whatever was loaded before, the clock has the library now.
    EXPECT_NE(GetModuleHandleW(L"winmm.dll"), nullptr);
    const double start = GetPreciseTime();
    const int32_t startMicroseconds = GetPreciseTimeMs();
    Sleep(50);
    EXPECT_GE(GetTimeMs() - first, 40);
    EXPECT_GE(GetPreciseTime() - start, 0.04);
    EXPECT_GE(GetPreciseTimeMs() - startMicroseconds, 40000);
}

TEST(TimeDates, AutomationFileAndUnixTimesAtTheirEdges)
{
    EXPECT_EQ(DateTimeToDoubleTime(1899, 12, 30, 0, 0, 0), 0.0);
    EXPECT_EQ(DateTimeToDoubleTime(1900, 1, 1, 12, 0, 0), 2.5);
    EXPECT_EQ(DateTimeToDoubleTime(1899, 12, 29, 0, 0, 0), -1.0);
    EXPECT_EQ(Fields(DateTimeToSystemTime(2.5)), Fields(Make(1900, 1, 1, 12, 0, 0)));
    EXPECT_EQ(DateTimeToSystemTime(std::nan("")).wYear, 0); // not the zero date
    EXPECT_GT(DateTimeNow(), 45000.0); // after 2023

    EXPECT_EQ(DateTimeToIntTime(1601, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(DateTimeToIntTime(1970, 1, 1, 0, 0, 1), 116444736010000000LL);
    // A record that names no day converts to 0 rather than garbage.
    EXPECT_EQ(SystemTimeToInt64(Make(2024, 2, 30, 0, 0, 0)), 0);
    EXPECT_GT(IntTimeNow(), DateTimeToIntTime(2023, 1, 1, 0, 0, 0));

    EXPECT_EQ(SystemTimeToTimeT(Make(1970, 1, 2, 0, 0, 1)), 86401);
    EXPECT_GT(TimeTNow(), 1672531200); // after 2023
    EXPECT_EQ(TimeTToSystemTime(-(1LL << 50)).wYear, 0);

    // Every form round-trips, also beyond 2038 where 32-bit forms would wrap.
    for (const SYSTEMTIME& moment : {Make(2021, 7, 14, 8, 30, 5), Make(2024, 2, 29, 13, 14, 15),
                                     Make(2026, 2, 28, 23, 59, 58), Make(2040, 1, 1, 0, 0, 0)}) {
        EXPECT_EQ(Fields(DateTimeToSystemTime(SystemTimeToDateTime(moment))), Fields(moment));
        EXPECT_EQ(Fields(Int64ToSystemTime(SystemTimeToInt64(moment))), Fields(moment));
        EXPECT_EQ(Fields(TimeTToSystemTime(SystemTimeToTimeT(moment))), Fields(moment));
    }
}

TEST(Color, ThreeAndFourNumberFormsAndTheBlackFallback)
{
    const struct
    {
        const wchar_t* text;
        int a, r, g, b;
    } cases[] = {
        {L"10,20,30", 255, 10, 20, 30}, {L"128,10,20,30", 128, 10, 20, 30},
        // Leading white space, trailing junk and a fifth field; no clamping;
        // a field without digits reads 0.
        {L" 1, 2x ,3 ,4,5", 1, 2, 3, 4}, {L"300,,-5", 255, 300, 0, -5}, {L"99999999999,0,0", 255, INT_MAX, 0, 0},
        // Too few commas: opaque black.
        {L"10,20", 255, 0, 0, 0}, {L"", 255, 0, 0, 0}, {L"garbage", 255, 0, 0, 0}, {nullptr, 255, 0, 0, 0},
    };
    for (const auto& c : cases) {
        int a = 1, r = 2, g = 3, b = 4;
        ParseColorString(c.text, a, r, g, b);
        EXPECT_TRUE(a == c.a && r == c.r && g == c.g && b == c.b)
            << (c.text != nullptr ? c.text : L"(null)") << ": " << a << ',' << r << ',' << g << ',' << b;
    }
}

// The UI hands its colours to code that reads them as four bytes.
TEST(Color, TheUiColourIsFourBytesRedGreenBlueAlpha)
{
    const tagColor colour(10, 20, 30, 128);
    unsigned char bytes[4] = {};
    std::memcpy(bytes, &colour, sizeof bytes);
    EXPECT_TRUE(bytes[0] == 10 && bytes[1] == 20 && bytes[2] == 30 && bytes[3] == 128);
    EXPECT_NE(colour, tagColor(10, 20, 30, 255)) << "alpha takes part in the comparison";
}

// A colour made without values means the same in every layer: transparent
// black; a UI colour given without alpha is opaque.
TEST(Color, DefaultColoursAgreeAcrossTheLayers)
{
    using RVGameEngine::Video::tagColor;
    auto packed = [](const auto& c) { return tagColor(c.red, c.green, c.blue, c.alpha).Value; };
    EXPECT_EQ(0u, packed(RVGameEngine::Common::tagColor()));
    EXPECT_EQ(0u, packed(RVGameEngine::DirectUI::tagColor()));
    EXPECT_EQ(0u, tagColor().Value);
    EXPECT_EQ(0xFF000000u, packed(RVGameEngine::DirectUI::tagColor(0, 0, 0)));
}
