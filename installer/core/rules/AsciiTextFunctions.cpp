#include "installer/core/rules/AsciiTextFunctions.h"

wchar_t UpperAsciiCharacter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring UpperAscii(std::wstring text)
{
    for (wchar_t& c : text)
        c = UpperAsciiCharacter(c);
    return text;
}
