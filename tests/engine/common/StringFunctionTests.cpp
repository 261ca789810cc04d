#include "engine/common/StringFunctions.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

// 你好 in its three encodings.
const wchar_t kHelloUtf16[] = L"\u4F60\u597D";
const char kHelloAnsi[] = "\xC4\xE3\xBA\xC3";
const char kHelloUtf8[] = "\xE4\xBD\xA0\xE5\xA5\xBD";

std::wstring Cut(const wchar_t* text, int32_t limit)
{
    return CutUnicodeString(text, limit)->GetUtf16();
}

int Width(const std::wstring& text)
{
    int width = 0;
    for (wchar_t unit : text)
        width += unit < 0x100 ? 1 : 2;
    return width;
}

} // namespace

TEST(TextConversion, ChineseTextConvertsExactlyInEveryDirection)
{
    EXPECT_STREQ(ANSI_To_UTF16(kHelloAnsi)->GetUtf16(), kHelloUtf16);
    EXPECT_STREQ(UTF8_To_UTF16(kHelloUtf8)->GetUtf16(), kHelloUtf16);
    EXPECT_STREQ(UTF16_To_ANSI(kHelloUtf16)->GetAnsi(), kHelloAnsi);
    EXPECT_STREQ(UTF16_To_UTF8(kHelloUtf16)->GetAnsi(), kHelloUtf8);
    EXPECT_STREQ(IString_Create_Ansi(kHelloAnsi)->GetUtf8(), kHelloUtf8);
    EXPECT_STREQ(IString_Create_Utf8(kHelloUtf8)->GetAnsi(), kHelloAnsi);
}

TEST(TextConversion, Utf8ResultKeepsBytesThatCodePage936CannotCarry)
{
    // U+00E9 and U+20AC encode to UTF-8 sequences that are not valid
    // code-page-936 text; a detour through 936 would lose them.
    const wchar_t text[] = L"caf\u00E9 \u20AC \U0001F600";
    EXPECT_STREQ(UTF16_To_UTF8(text)->GetAnsi(), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    TIntrusivePointer<IString> string = UTF16_To_UTF8(text);
    EXPECT_STREQ(string->GetUtf8(), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_STREQ(string->GetUtf16(), text);
    // Once given new text it is an ordinary string again.
    string->SetUtf16(kHelloUtf16);
    EXPECT_STREQ(string->GetAnsi(), kHelloAnsi);
}

TEST(TextConversion, NullTextGivesAnEmptyString)
{
    EXPECT_STREQ(ANSI_To_UTF16(nullptr)->GetUtf16(), L"");
    EXPECT_STREQ(UTF16_To_UTF8(nullptr)->GetAnsi(), "");
    EXPECT_STREQ(UTF16_To_ANSI(nullptr)->GetAnsi(), "");
}

TEST(TextConversion, LongExternalTextConvertsWhole)
{
    std::wstring wide;
    for (int i = 0; i < 50000; ++i)
        wide += i % 2 == 0 ? L'\u4F60' : L'a';
    const std::string utf8 = UTF16_To_UTF8(wide.c_str())->GetAnsi();
    EXPECT_EQ(utf8.size(), 25000u * 3 + 25000u);
    EXPECT_EQ(std::wstring(UTF8_To_UTF16(utf8.c_str())->GetUtf16()), wide);

    const std::string ansi = UTF16_To_ANSI(wide.c_str())->GetAnsi();
    EXPECT_EQ(ansi.size(), 25000u * 2 + 25000u);
    EXPECT_EQ(std::wstring(ANSI_To_UTF16(ansi.c_str())->GetUtf16()), wide);

    const std::string plain(100000, 'x');
    EXPECT_EQ(std::wstring(ANSI_To_UTF16(plain.c_str())->GetUtf16()).size(), 100000u);
}

TEST(TextComparison, ExactAndCaseBlindEquality)
{
    EXPECT_TRUE(UnicodeStringEqual(L"Setup", L"Setup"));
    EXPECT_FALSE(UnicodeStringEqual(L"Setup", L"setup"));
    EXPECT_FALSE(UnicodeStringEqual(L"Setup", L"Setup2"));
    EXPECT_TRUE(UnicodeStringIgnoreEqual(L"Setup", L"sETUP"));
    EXPECT_FALSE(UnicodeStringIgnoreEqual(L"Setup", L"Setu"));
    EXPECT_TRUE(UnicodeStringEqual(nullptr, L""));
    EXPECT_FALSE(UnicodeStringIgnoreEqual(nullptr, L"a"));
}

TEST(TextClassification, AsciiLettersAndDigitsOnly)
{
    EXPECT_TRUE(IsUnicodeCharAlpha(L'a'));
    EXPECT_TRUE(IsUnicodeCharAlpha(L'Z'));
    EXPECT_FALSE(IsUnicodeCharAlpha(L'\u00E9'));
    EXPECT_FALSE(IsUnicodeCharAlpha(L'['));
    EXPECT_TRUE(IsUnicodeCharDigit(L'0'));
    EXPECT_TRUE(IsUnicodeCharDigit(L'9'));
    EXPECT_FALSE(IsUnicodeCharDigit(L'\uFF11'));
    EXPECT_FALSE(IsUnicodeCharDigit(L'/'));
}

TEST(TextClassification, LeadByteRanges)
{
    EXPECT_FALSE(IsChineseChar("\xA3\xAC"));
    EXPECT_TRUE(IsChinesePunctuation("\xA3\xAC"));
    EXPECT_TRUE(IsChineseCharOrPunctuation("\xA3\xAC"));
    EXPECT_TRUE(IsChineseChar(kHelloAnsi));
    EXPECT_TRUE(IsChineseChar("\xA0"));
    EXPECT_TRUE(IsChineseChar("\xAA"));
    EXPECT_FALSE(IsChineseChar("\xA9"));
    EXPECT_FALSE(IsChineseCharOrPunctuation("a"));
    EXPECT_FALSE(IsChineseCharOrPunctuation(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(IsChineseChar(kHelloUtf16));
    EXPECT_TRUE(IsChinesePunctuation(L"\uFF0C"));
    EXPECT_FALSE(IsChineseChar(L"x"));
}

TEST(TextClassification, StringWalksStopAtTheTerminator)
{
    EXPECT_TRUE(IsChineseCharString(""));
    EXPECT_TRUE(IsChineseCharString(kHelloAnsi));
    EXPECT_FALSE(IsChineseCharString("\xC4\xE3\xA3\xAC"));
    EXPECT_TRUE(IsChineseCharOrPunctuationString("\xC4\xE3\xA3\xAC"));
    EXPECT_FALSE(IsChineseCharOrPunctuationString("\xC4\xE3" "ab"));

    // A lone lead byte before the terminator: the bytes behind the
    // terminator ("a") must never be looked at.
    const char lone[] = "\xC4\xE3\xC4\0a";
    EXPECT_TRUE(IsChineseCharString(lone));
    const char loneThenAscii[] = "\xC4\0\x41\x41";
    EXPECT_TRUE(IsChineseCharOrPunctuationString(loneThenAscii));

    EXPECT_TRUE(IsChineseCharString(kHelloUtf16));
    EXPECT_FALSE(IsChineseCharString(L"\u4F60x"));
    EXPECT_TRUE(IsChineseCharOrPunctuationString(L"\u4F60\uFF0C"));
}

TEST(CutUnicodeString, CutsToTheWidthLimit)
{
    EXPECT_EQ(Cut(L"abcdefghij", 10), L"abcdefgh..");
    EXPECT_EQ(Cut(L"abcdefghi", 10), L"abcdefghi");
    EXPECT_EQ(Cut(L"\u4E00\u4E8C\u4E09\u56DB\u4E94", 10), L"\u4E00\u4E8C\u4E09\u56DB..");
    // A wide character that would overrun the room is left out whole.
    EXPECT_EQ(Cut(L"abc\u4E00\u4E8C", 6), L"abc..");
    EXPECT_EQ(Width(Cut(L"a\u4E00b\u4E8Cc\u4E09d", 7)), 6);
    EXPECT_EQ(Cut(L"", 5), L"");
    EXPECT_EQ(Cut(nullptr, 5), L"");
}

TEST(CutUnicodeString, NeverSplitsASurrogatePair)
{
    // U+1F600 is two units of width 2 each.
    const std::wstring cut = Cut(L"ab\U0001F600cdefgh", 7);
    EXPECT_EQ(cut, L"ab..");
    EXPECT_EQ(Cut(L"ab\U0001F600cdefgh", 8), L"ab\U0001F600..");
}

TEST(StringSafeCopy, CopiesWhatFitsAndAlwaysTerminates)
{
    char narrow[4] = {'x', 'x', 'x', 'x'};
    StringSafeCopy(narrow, 0, "abcdef");
    EXPECT_EQ(narrow[0], 'x');
    StringSafeCopy(narrow, -3, "abcdef");
    StringSafeCopy(narrow, 4, nullptr);
    EXPECT_EQ(narrow[0], 'x');
    StringSafeCopy(narrow, 4, "abcdef");
    EXPECT_STREQ(narrow, "abc");
    StringSafeCopy(narrow, 4, "z");
    EXPECT_STREQ(narrow, "z");
    StringSafeCopy(narrow, 1, "abc");
    EXPECT_STREQ(narrow, "");
    StringSafeCopy(nullptr, 4, "abc");

    wchar_t wide[3] = {L'x', L'x', L'x'};
    UnicodeStringSafeCopy(wide, 3, kHelloUtf16 + 0);
    EXPECT_STREQ(wide, kHelloUtf16);
    UnicodeStringSafeCopy(wide, 2, L"abc");
    EXPECT_STREQ(wide, L"a");
}

TEST(FormatTimeString, HoursMinutesSeconds)
{
    wchar_t buffer[kFormatTimeStringSize];
    FormatTimeString(buffer, 3723000);
    EXPECT_STREQ(buffer, L"01:02:03");
    FormatTimeString(buffer, 0);
    EXPECT_STREQ(buffer, L"00:00:00");
    FormatTimeString(buffer, 999);
    EXPECT_STREQ(buffer, L"00:00:00");
    FormatTimeString(buffer, 100 * 3600000 + 59 * 60000 + 59999);
    EXPECT_STREQ(buffer, L"100:59:59");
    FormatTimeString(buffer, 2147483647);
    EXPECT_STREQ(buffer, L"596:31:23");
    FormatTimeString(buffer, -5000);
    EXPECT_STREQ(buffer, L"00:00:00");
    FormatTimeString(nullptr, 1000);
}
