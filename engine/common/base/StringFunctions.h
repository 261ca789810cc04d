#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Conversions; each returns a new string, empty (not null) for null text.
// Read ANSI_To_UTF16 and UTF8_To_UTF16 with GetUtf16, UTF16_To_ANSI with
// GetAnsi (code page 936) and UTF16_To_UTF8 with GetAnsi, which yields the
// UTF-8 bytes exactly.
RV_API TIntrusivePointer<IString> ANSI_To_UTF16(const char* text);
RV_API TIntrusivePointer<IString> UTF8_To_UTF16(const char* text);
RV_API TIntrusivePointer<IString> UTF16_To_ANSI(const wchar_t* text);
RV_API TIntrusivePointer<IString> UTF16_To_UTF8(const wchar_t* text);

// Comparisons; a null text compares as an empty one.
RV_API bool UnicodeStringEqual(const wchar_t* first, const wchar_t* second);
RV_API bool UnicodeStringIgnoreEqual(const wchar_t* first, const wchar_t* second);

// ASCII letters and digits only.
RV_API bool IsUnicodeCharAlpha(wchar_t character);
RV_API bool IsUnicodeCharDigit(wchar_t character);

// Classification of the first byte of code-page-936 text (false for null or
// empty text): 0x80 and above is a Chinese character or punctuation, 0xA1 to
// 0xA9 punctuation, the rest of 0x80 to 0xFF characters.
RV_API bool IsChineseCharOrPunctuation(const char* text);
RV_API bool IsChineseChar(const char* text);
RV_API bool IsChinesePunctuation(const char* text);
// Every two-byte step of the text passes the test above; empty text passes.
RV_API bool IsChineseCharString(const char* text);
RV_API bool IsChineseCharOrPunctuationString(const char* text);

// The same on UTF-16 text, through its code-page-936 form.
RV_API bool IsChineseCharOrPunctuation(const wchar_t* text);
RV_API bool IsChineseChar(const wchar_t* text);
RV_API bool IsChinesePunctuation(const wchar_t* text);
RV_API bool IsChineseCharString(const wchar_t* text);
RV_API bool IsChineseCharOrPunctuationString(const wchar_t* text);

// Cuts text to a display width (units below U+0100 count 1, others 2): text
// narrower than the limit comes back whole; otherwise as many units as fit in
// limit - 2, followed by "..".
RV_API TIntrusivePointer<IString> CutUnicodeString(const wchar_t* text, int32_t limit);

// Copy at most size - 1 units and terminate; nothing happens for a null
// destination or source or a size below 1.
RV_API void StringSafeCopy(char* destination, int32_t size, const char* source);
RV_API void UnicodeStringSafeCopy(wchar_t* destination, int32_t size, const wchar_t* source);

// Writes "hh:mm:ss" (hours not wrapped at 24) for a duration in milliseconds;
// the buffer must hold kFormatTimeStringSize units. Negative durations show
// as 00:00:00.
constexpr int32_t kFormatTimeStringSize = 16;
RV_API void FormatTimeString(wchar_t* buffer, int32_t milliseconds);

} // namespace Common
} // namespace RVGameEngine
