#include "engine/directui/services/NumberedFileName.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

bool IsDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

// One integer field: "%", flags, a width of up to three digits, "d" or "i".
struct tagIntegerField
{
    bool leftAlign = false;
    bool zeroPad = false;
    wchar_t sign = 0; // '+', ' ' or none
    size_t width = 0;
};

// Reads the field after its '%'; false for anything but an integer field.
bool ParseIntegerField(const wchar_t*& p, tagIntegerField& field)
{
    for (;; ++p) {
        if (*p == L'-')
            field.leftAlign = true;
        else if (*p == L'0')
            field.zeroPad = true;
        else if (*p == L'+')
            field.sign = L'+';
        else if (*p == L' ' && field.sign != L'+')
            field.sign = L' ';
        else if (*p != L' ')
            break;
    }
    // A wider field could only make the text too long.
    for (int digits = 0; IsDigit(*p) && digits < 3; ++p, ++digits)
        field.width = field.width * 10 + static_cast<size_t>(*p - L'0');
    return *p == L'd' || *p == L'i';
}

std::wstring WriteInteger(int64_t number, const tagIntegerField& field)
{
    // The magnitude in unsigned arithmetic: negating the most negative value overflows.
    uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    std::wstring sign;
    if (number < 0)
        sign = L"-";
    else if (field.sign != 0)
        sign.assign(1, field.sign);
    const size_t length = sign.size() + digits.size();
    if (length >= field.width)
        return sign + digits;
    const size_t pad = field.width - length;
    if (field.leftAlign)
        return sign + digits + std::wstring(pad, L' ');
    if (field.zeroPad)
        return sign + std::wstring(pad, L'0') + digits;
    return std::wstring(pad, L' ') + sign + digits;
}

} // namespace

bool FormatIntegerPattern(const wchar_t* pattern, int64_t number, size_t maxLength, std::wstring& text)
{
    text.clear();
    if (pattern == nullptr)
        return false;
    int fields = 0;
    for (const wchar_t* p = pattern; *p != L'\0'; ++p) {
        if (*p != L'%') {
            text.push_back(*p);
        } else if (p[1] == L'%') {
            text.push_back(L'%');
            ++p;
        } else {
            tagIntegerField field;
            ++p;
            if (!ParseIntegerField(p, field) || ++fields > 1) {
                text.clear();
                return false;
            }
            text += WriteInteger(number, field);
        }
        if (text.size() > maxLength) {
            text.clear();
            return false;
        }
    }
    if (fields != 1)
        text.clear();
    return fields == 1;
}

bool FormatNumberedFileName(const wchar_t* pattern, int32_t number, std::wstring& name)
{
    return FormatIntegerPattern(pattern, number, kMaxNumberedFileNameLength, name);
}

} // namespace DirectUI
} // namespace RVGameEngine
