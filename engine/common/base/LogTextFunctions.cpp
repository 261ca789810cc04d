#include "engine/common/base/LogTextFunctions.h"

#include <cstdio>

namespace RVGameEngine {
namespace Common {

namespace {

// C0 and C1 controls, DEL, and the Unicode line and paragraph separators.
bool BreaksTheLine(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

std::wstring EscapeOf(wchar_t c)
{
    switch (c) {
    case L'\\':
        return L"\\\\";
    case L'\r':
        return L"\\r";
    case L'\n':
        return L"\\n";
    case L'\t':
        return L"\\t";
    default:
        break;
    }
    wchar_t code[8] = {};
    swprintf(code, sizeof code / sizeof code[0], L"\\u%04X", static_cast<unsigned>(c));
    return code;
}

} // namespace

std::wstring LoggableText(const std::wstring& text)
{
    std::wstring logged;
    logged.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\\' || BreaksTheLine(c))
            logged += EscapeOf(c);
        else
            logged += c;
    }
    return logged;
}

} // namespace Common
} // namespace RVGameEngine
