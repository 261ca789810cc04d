#include "engine/common/base/StringFunctions.h"

#include "engine/common/base/CUtf8AnsiString.h"

#include <cwchar>
#include <new>
#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text != nullptr ? text : L"";
}

unsigned char FirstByte(const char* text)
{
    return text != nullptr ? static_cast<unsigned char>(*text) : 0;
}

bool IsCharOrPunctuationByte(unsigned char byte)
{
    return byte >= 0x80;
}

bool IsPunctuationByte(unsigned char byte)
{
    return byte >= 0xA1 && byte <= 0xA9;
}

bool IsCharByte(unsigned char byte)
{
    return IsCharOrPunctuationByte(byte) && !IsPunctuationByte(byte);
}

// Steps two bytes at a time (one double-byte character), never past the
// terminator: a lone lead byte at the end is judged on its own.
bool EveryStepPasses(const char* text, bool (*test)(unsigned char))
{
    if (text == nullptr)
        return true;
    for (const char* position = text; *position != '\0';) {
        if (!test(static_cast<unsigned char>(*position)))
            return false;
        ++position;
        if (*position != '\0')
            ++position;
    }
    return true;
}

template <typename Function>
bool OnAnsiForm(const wchar_t* text, Function function)
{
    TIntrusivePointer<IString> string = IString_Create_Utf16(text);
    return !string.IsNull() && function(string->GetAnsi());
}

int32_t UnitWidth(wchar_t unit)
{
    return unit < 0x100 ? 1 : 2;
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

template <typename Char>
void SafeCopy(Char* destination, int32_t size, const Char* source)
{
    if (destination == nullptr || size < 1 || source == nullptr)
        return;
    int32_t length = 0;
    while (length < size - 1 && source[length] != 0) {
        destination[length] = source[length];
        ++length;
    }
    destination[length] = 0;
}

} // namespace

TIntrusivePointer<IString> ANSI_To_UTF16(const char* text)
{
    return IString_Create_Ansi(text);
}

TIntrusivePointer<IString> UTF8_To_UTF16(const char* text)
{
    return IString_Create_Utf8(text);
}

TIntrusivePointer<IString> UTF16_To_ANSI(const wchar_t* text)
{
    return IString_Create_Utf16(text);
}

TIntrusivePointer<IString> UTF16_To_UTF8(const wchar_t* text)
{
    // The UTF-8 bytes are kept as they are: decoding them as code page 936
    // and encoding them again would damage every sequence 936 cannot map.
    return TIntrusivePointer<IString>(new (std::nothrow) CUtf8AnsiString(OrEmpty(text)), true);
}

bool UnicodeStringEqual(const wchar_t* first, const wchar_t* second)
{
    return std::wcscmp(OrEmpty(first), OrEmpty(second)) == 0;
}

bool UnicodeStringIgnoreEqual(const wchar_t* first, const wchar_t* second)
{
    return _wcsicmp(OrEmpty(first), OrEmpty(second)) == 0;
}

bool IsUnicodeCharAlpha(wchar_t character)
{
    return (character >= L'A' && character <= L'Z') || (character >= L'a' && character <= L'z');
}

bool IsUnicodeCharDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

bool IsChineseCharOrPunctuation(const char* text)
{
    return IsCharOrPunctuationByte(FirstByte(text));
}

bool IsChineseChar(const char* text)
{
    return IsCharByte(FirstByte(text));
}

bool IsChinesePunctuation(const char* text)
{
    return IsPunctuationByte(FirstByte(text));
}

bool IsChineseCharString(const char* text)
{
    return EveryStepPasses(text, &IsCharByte);
}

bool IsChineseCharOrPunctuationString(const char* text)
{
    return EveryStepPasses(text, &IsCharOrPunctuationByte);
}

bool IsChineseCharOrPunctuation(const wchar_t* text)
{
    return OnAnsiForm(text, [](const char* ansi) { return IsChineseCharOrPunctuation(ansi); });
}

bool IsChineseChar(const wchar_t* text)
{
    return OnAnsiForm(text, [](const char* ansi) { return IsChineseChar(ansi); });
}

bool IsChinesePunctuation(const wchar_t* text)
{
    return OnAnsiForm(text, [](const char* ansi) { return IsChinesePunctuation(ansi); });
}

bool IsChineseCharString(const wchar_t* text)
{
    return OnAnsiForm(text, [](const char* ansi) { return IsChineseCharString(ansi); });
}

bool IsChineseCharOrPunctuationString(const wchar_t* text)
{
    return OnAnsiForm(text, [](const char* ansi) { return IsChineseCharOrPunctuationString(ansi); });
}

TIntrusivePointer<IString> CutUnicodeString(const wchar_t* text, int32_t limit)
{
    const std::wstring whole = OrEmpty(text);
    int64_t width = 0;
    for (wchar_t unit : whole)
        width += UnitWidth(unit);
    if (width < limit)
        return IString_Create_Utf16(whole.c_str());

    std::wstring cut;
    int64_t running = 0;
    for (size_t i = 0; i < whole.size(); ++i) {
        // A surrogate pair is one character: take both halves or neither.
        const size_t units = IsHighSurrogate(whole[i]) && i + 1 < whole.size() ? 2 : 1;
        int64_t next = running;
        for (size_t k = 0; k < units; ++k)
            next += UnitWidth(whole[i + k]);
        if (next > static_cast<int64_t>(limit) - 2)
            break;
        cut.append(whole, i, units);
        running = next;
        i += units - 1;
    }
    cut += L"..";
    return IString_Create_Utf16(cut.c_str());
}

void StringSafeCopy(char* destination, int32_t size, const char* source)
{
    SafeCopy(destination, size, source);
}

void UnicodeStringSafeCopy(wchar_t* destination, int32_t size, const wchar_t* source)
{
    SafeCopy(destination, size, source);
}

void FormatTimeString(wchar_t* buffer, int32_t milliseconds)
{
    if (buffer == nullptr)
        return;
    const int32_t total = milliseconds > 0 ? milliseconds : 0;
    const int32_t hours = total / 3600000;
    const int32_t minutes = total / 60000 % 60;
    const int32_t seconds = total / 1000 % 60;
    std::swprintf(buffer, kFormatTimeStringSize, L"%02d:%02d:%02d", static_cast<int>(hours),
                  static_cast<int>(minutes), static_cast<int>(seconds));
}

} // namespace Common
} // namespace RVGameEngine
