#include "engine/common/base/ColorFunctions.h"

#include <cwchar>

namespace RVGameEngine {
namespace Common {

namespace {

// The field's leading number; wcstol saturates where a plain conversion
// would overflow.
int ReadField(const wchar_t* field)
{
    return static_cast<int>(std::wcstol(field, nullptr, 10));
}

} // namespace

void ParseColorString(const wchar_t* text, int& alpha, int& red, int& green, int& blue)
{
    alpha = 255;
    red = 0;
    green = 0;
    blue = 0;
    if (text == nullptr)
        return;
    const wchar_t* first = std::wcschr(text, L',');
    if (first == nullptr)
        return;
    const wchar_t* second = std::wcschr(first + 1, L',');
    if (second == nullptr)
        return;
    const wchar_t* third = std::wcschr(second + 1, L',');
    if (third != nullptr) {
        alpha = ReadField(text);
        red = ReadField(first + 1);
        green = ReadField(second + 1);
        blue = ReadField(third + 1);
    } else {
        red = ReadField(text);
        green = ReadField(first + 1);
        blue = ReadField(second + 1);
    }
}

} // namespace Common
} // namespace RVGameEngine
