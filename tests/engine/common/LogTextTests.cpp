// Text from outside written into the log: one line, nothing in it that a
// reader could take for the log's own structure.

#include "engine/common/base/LogTextFunctions.h"

#include <gtest/gtest.h>

#include <string>

using RVGameEngine::Common::LoggableText;

namespace {

TEST(LogText, LineBreaksAndControlCharactersAreEscaped)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"http://h/a?b=c 合作", L"http://h/a?b=c 合作"},
        {L"a\r\nError: forged", L"a\\r\\nError: forged"},
        {L"tab\there", L"tab\\there"},
        {L"C:\\a\\n", L"C:\\\\a\\\\n"},  // a backslash cannot fake an escape
        {L"\x1b[31mred", L"\\u001B[31mred"},
        {L"next\x85line\u2028sep\u2029", L"next\\u0085line\\u2028sep\\u2029"},
        {L"del\x7f", L"del\\u007F"},
        {std::wstring(L"nul\0in", 6), L"nul\\u0000in"},
        {L"", L""},
    };
    for (const auto& [text, logged] : cases)
        EXPECT_EQ(LoggableText(text), logged);
}

} // namespace
