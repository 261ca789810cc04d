#include "engine/common/base/StringFunctions.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

// 你好 in its three encodings.
const wchar_t kHelloUtf16[] = L"\u4F60\u597D";
const char kHelloAnsi[] = "\xC4\xE3\xBA\xC3";
const char kHelloUtf8[] = "\xE4\xBD\xA0\xE5\xA5\xBD";

} // namespace

TEST(TextConversion, ChineseTextConvertsExactlyInEveryDirection)
{
    EXPECT_STREQ(ANSI_To_UTF16(kHelloAnsi)->GetUtf16(), kHelloUtf16);
    EXPECT_STREQ(UTF8_To_UTF16(kHelloUtf8)->GetUtf16(), kHelloUtf16);
    EXPECT_STREQ(UTF16_To_ANSI(kHelloUtf16)->GetAnsi(), kHelloAnsi);
    EXPECT_STREQ(UTF16_To_UTF8(kHelloUtf16)->GetAnsi(), kHelloUtf8);
    EXPECT_STREQ(IString_Create_Ansi(kHelloAnsi)->GetUtf8(), kHelloUtf8);
    EXPECT_STREQ(IString_Create_Utf8(kHelloUtf8)->GetAnsi(), kHelloAnsi);
    EXPECT_STREQ(ANSI_To_UTF16(nullptr)->GetUtf16(), L"");
    EXPECT_STREQ(UTF16_To_UTF8(nullptr)->GetAnsi(), "");
}

TEST(TextConversion, Utf8ResultKeepsBytesThatCodePage936CannotCarry)
{
    const wchar_t text[] = L"caf\u00E9 \u20AC \U0001F600";
    const char utf8[] = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    TIntrusivePointer<IString> string = UTF16_To_UTF8(text);
    EXPECT_STREQ(string->GetAnsi(), utf8);
    EXPECT_STREQ(string->GetUtf8(), utf8);
    EXPECT_STREQ(string->GetUtf16(), text);
    // Once given new text it is an ordinary string again.
    string->SetUtf16(kHelloUtf16);
    EXPECT_STREQ(string->GetAnsi(), kHelloAnsi);
}

TEST(TextConversion, LongExternalTextConvertsWhole)
{
    std::wstring wide;
    for (int i = 0; i < 50000; ++i)
        wide += i % 2 == 0 ? L'\u4F60' : L'a';
    const std::string utf8 = UTF16_To_UTF8(wide.c_str())->GetAnsi();
    const std::string ansi = UTF16_To_ANSI(wide.c_str())->GetAnsi();
    EXPECT_EQ(std::wstring(UTF8_To_UTF16(utf8.c_str())->GetUtf16()), wide);
    EXPECT_EQ(std::wstring(ANSI_To_UTF16(ansi.c_str())->GetUtf16()), wide);
}

TEST(TextClassification, EqualityLettersDigitsAndLeadByteRanges)
{
    EXPECT_TRUE(UnicodeStringEqual(L"Setup", L"Setup") && UnicodeStringEqual(nullptr, L""));
    EXPECT_FALSE(UnicodeStringEqual(L"Setup", L"setup") || UnicodeStringEqual(L"Setup", L"Setup2"));
    EXPECT_TRUE(UnicodeStringIgnoreEqual(L"Setup", L"sETUP"));
    EXPECT_FALSE(UnicodeStringIgnoreEqual(L"Setup", L"Setu") || UnicodeStringIgnoreEqual(nullptr, L"a"));
    EXPECT_TRUE(IsUnicodeCharAlpha(L'a') && IsUnicodeCharAlpha(L'Z') && IsUnicodeCharDigit(L'0'));
    EXPECT_FALSE(IsUnicodeCharAlpha(L'\u00E9') || IsUnicodeCharAlpha(L'[') || IsUnicodeCharAlpha(L'@'));
    EXPECT_FALSE(IsUnicodeCharDigit(L'\uFF11') || IsUnicodeCharDigit(L'/') || IsUnicodeCharDigit(L':'));

    // Chinese characters lead with A0 and AA upwards; A1-A9 are punctuation.
    EXPECT_TRUE(IsChineseChar(kHelloAnsi) && IsChineseChar("\xA0") && IsChineseChar("\xAA"));
    EXPECT_FALSE(IsChineseChar("\xA9") || IsChineseChar("\xA3\xAC"));
    EXPECT_TRUE(IsChinesePunctuation("\xA3\xAC") && IsChineseCharOrPunctuation("\xA3\xAC"));
    EXPECT_FALSE(IsChineseCharOrPunctuation("a") || IsChineseCharOrPunctuation(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(IsChineseChar(kHelloUtf16) && IsChinesePunctuation(L"\uFF0C") && !IsChineseChar(L"x"));
}

TEST(TextClassification, StringWalksStopAtTheTerminator)
{
    EXPECT_TRUE(IsChineseCharString("") && IsChineseCharString(kHelloAnsi));
    EXPECT_TRUE(IsChineseCharOrPunctuationString("\xC4\xE3\xA3\xAC"));
    EXPECT_FALSE(IsChineseCharString("\xC4\xE3\xA3\xAC") || IsChineseCharOrPunctuationString("\xC4\xE3" "ab"));
    // A lone lead byte before the terminator: the bytes behind the
    // terminator must never be looked at.
    EXPECT_TRUE(IsChineseCharString("\xC4\xE3\xC4\0a"));
    EXPECT_TRUE(IsChineseCharOrPunctuationString("\xC4\0\x41\x41"));
    EXPECT_TRUE(IsChineseCharString(kHelloUtf16) && IsChineseCharOrPunctuationString(L"\u4F60\uFF0C"));
    EXPECT_FALSE(IsChineseCharString(L"\u4F60x"));
}

TEST(CutUnicodeString, CutsToTheWidthLimitWithoutSplittingCharacters)
{
    const struct
    {
        const wchar_t* text;
        int32_t limit;
        const wchar_t* expected;
    } cases[] = {
        {L"abcdefghij", 10, L"abcdefgh.."}, {L"abcdefghi", 10, L"abcdefghi"}, {L"", 5, L""}, {nullptr, 5, L""},
        {L"\u4E00\u4E8C\u4E09\u56DB\u4E94", 10, L"\u4E00\u4E8C\u4E09\u56DB.."},
        // A wide character that would overrun the room is left out whole;
        // U+1F600 is two units of width 2 each and is never split.
        {L"abc\u4E00\u4E8C", 6, L"abc.."}, {L"a\u4E00b\u4E8Cc\u4E09d", 7, L"a\u4E00b.."},
        {L"ab\U0001F600cdefgh", 7, L"ab.."}, {L"ab\U0001F600cdefgh", 8, L"ab\U0001F600.."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(CutUnicodeString(c.text, c.limit)->GetUtf16(), c.expected) << c.limit;
}

TEST(StringSafeCopy, CopiesWhatFitsAndAlwaysTerminates)
{
    char narrow[4] = {'x', 'x', 'x', 'x'};
    StringSafeCopy(narrow, 0, "abcdef");
    StringSafeCopy(narrow, -3, "abcdef");
    StringSafeCopy(narrow, 4, nullptr);
    StringSafeCopy(nullptr, 4, "abc");
    EXPECT_EQ(narrow[0], 'x');
    StringSafeCopy(narrow, 4, "abcdef");
    EXPECT_STREQ(narrow, "abc");

    wchar_t wide[3] = {L'x', L'x', L'x'};
    UnicodeStringSafeCopy(wide, 3, kHelloUtf16);
    EXPECT_STREQ(wide, kHelloUtf16);
    UnicodeStringSafeCopy(wide, 2, L"abc");
    EXPECT_STREQ(wide, L"a");
}

TEST(FormatTimeString, HoursMinutesSeconds)
{
    const struct
    {
        int32_t milliseconds;
        const wchar_t* expected;
    } cases[] = {{3723000, L"01:02:03"}, {0, L"00:00:00"}, {999, L"00:00:00"}, {-5000, L"00:00:00"},
                 {100 * 3600000 + 59 * 60000 + 59999, L"100:59:59"}, {2147483647, L"596:31:23"}};
    wchar_t buffer[kFormatTimeStringSize];
    for (const auto& c : cases) {
        FormatTimeString(buffer, c.milliseconds);
        EXPECT_STREQ(buffer, c.expected) << c.milliseconds;
    }
    FormatTimeString(nullptr, 1000);
}
