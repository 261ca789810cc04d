#include "engine/directui/NumberedFileName.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::DirectUI;

TEST(NumberedFileName, OnlyOneIntegerFieldIsFilledIn)
{
    struct Case
    {
        const wchar_t* pattern;
        int32_t number;
        bool made;
        const wchar_t* name;
    };
    const std::wstring tooLong = std::wstring(kMaxNumberedFileNameLength, L'x') + L"%d";
    const Case cases[] = {
        {L"Face/%d.png", 7, true, L"Face/7.png"},
        {L"%03d.bmp", 7, true, L"007.bmp"},
        {L"%-3i|", -2, true, L"-2 |"},
        {L"100%%_%d", 5, true, L"100%_5"},
        {L"%s.png", 1, false, L""},
        {L"%d_%d.png", 1, false, L""},
        {L"plain.png", 1, false, L""},
        {L"trailing%", 1, false, L""},
        {L"%5000d", 1, false, L""},
        {L"%ld", 1, false, L""},
        {tooLong.c_str(), 1, false, L""},
        {nullptr, 1, false, L""},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        std::wstring name = L"stale";
        EXPECT_EQ(FormatNumberedFileName(c.pattern, c.number, name), c.made);
        EXPECT_EQ(name, c.name);
    }
}
