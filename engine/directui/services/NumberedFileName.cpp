#include "engine/directui/services/NumberedFileName.h"

#include <cwchar>
#include <cwctype>

namespace RVGameEngine {
namespace DirectUI {

namespace {

bool IsFlag(wchar_t character)
{
    return character == L'-' || character == L'+' || character == L' ' || character == L'0';
}

bool IsDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

// Counts the integer fields of the pattern; -1 when it holds any other field.
int CountIntegerFields(const wchar_t* pattern)
{
    int fields = 0;
    for (const wchar_t* p = pattern; *p != L'\0'; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        while (IsFlag(*p))
            ++p;
        // A width of more than three digits could only make a name too long.
        int widthDigits = 0;
        while (IsDigit(*p) && widthDigits < 3) {
            ++p;
            ++widthDigits;
        }
        if (*p != L'd' && *p != L'i')
            return -1;
        ++fields;
    }
    return fields;
}

} // namespace

bool FormatNumberedFileName(const wchar_t* pattern, int32_t number, std::wstring& name)
{
    name.clear();
    if (pattern == nullptr || CountIntegerFields(pattern) != 1)
        return false;
    wchar_t buffer[kMaxNumberedFileNameLength + 1];
    const int length = std::swprintf(buffer, kMaxNumberedFileNameLength + 1, pattern, static_cast<int>(number));
    if (length < 0 || static_cast<size_t>(length) > kMaxNumberedFileNameLength)
        return false;
    name.assign(buffer, static_cast<size_t>(length));
    return true;
}

} // namespace DirectUI
} // namespace RVGameEngine
