#pragma once

#include <string>

// Letter case of the ASCII letters only: names, switches and file-name rules
// compare a-z equal to A-Z, whatever the user's locale does with other
// letters.
wchar_t UpperAsciiCharacter(wchar_t c);
std::wstring UpperAscii(std::wstring text);
