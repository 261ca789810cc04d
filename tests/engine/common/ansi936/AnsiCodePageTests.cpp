// Runs with code page 936 as the system's ANSI code page, as the program's
// users have it.

#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/IDigest.h"

#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

TEST(AnsiCodePage936, TheDigestOfATextHashesItsCharactersWhole)
{
    ASSERT_EQ(GetACP(), 936u) << "the test run must give this executable code page 936";
    IDigest* digest = IDigest_GetInstance();
    const auto Md5 = [digest](const wchar_t* text) { return std::string(digest->MD5OfText(text)->GetAnsi()); };
    // Each CJK character is two bytes in the code page and hashed as its
    // UTF-8 form: "ab" E4 B8 AD E6 96 87.
    EXPECT_EQ(Md5(L"ab\u4e2d\u6587"), "2e9cda3e882eafe2f8343701312c8885");
    // A lead byte takes its trail byte along, not the ASCII after the pair.
    EXPECT_EQ(Md5(L"\u4e2da"), "895829f14593ec872c7946217df3897d");
}

// Under this locale Wine's GDI+ no longer resolves the prefix's substitutes
// for the UI's default typeface; the test prefix carries a font of that name.
TEST(AnsiCodePage936, TheUisDefaultTypefaceIsFound)
{
    ASSERT_TRUE(RVGameEngine::Common::StartGdiplus());
    for (const wchar_t* name : {L"\u5b8b\u4f53", L"SimSun"}) {
        Gdiplus::FontFamily family(name);
        EXPECT_EQ(family.GetLastStatus(), Gdiplus::Ok) << "family not found";
        Gdiplus::Font font(&family, 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        EXPECT_EQ(font.GetLastStatus(), Gdiplus::Ok);
    }
}
