#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace RVGameEngine {
namespace Common {

// Byte count written for a short narrow text (one length byte): the text cut
// to at most 255 bytes, backing off rather than splitting a code page 936
// double-byte character.
inline int32_t ShortAnsiTextLength(const char* text)
{
    if (text == nullptr)
        return 0;
    const int32_t limit = 255;
    int32_t end = 0;
    while (text[end] != '\0') {
        const bool pair = IsDBCSLeadByteEx(936, static_cast<BYTE>(text[end])) && text[end + 1] != '\0';
        const int32_t step = pair ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    return end;
}

} // namespace Common
} // namespace RVGameEngine
