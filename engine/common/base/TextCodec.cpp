#include "engine/common/base/TextCodec.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

std::wstring NarrowToWide(unsigned int codePage, const char* text)
{
    if (text == nullptr || *text == '\0')
        return std::wstring();
    const int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (needed <= 1)
        return std::wstring();
    std::wstring result(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, text, -1, &result[0], needed);
    result.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return result;
}

std::string WideToNarrow(unsigned int codePage, const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return std::string();
    const int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1)
        return std::string();
    std::string result(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, 0, text, -1, &result[0], needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return result;
}

} // namespace Common
} // namespace RVGameEngine
