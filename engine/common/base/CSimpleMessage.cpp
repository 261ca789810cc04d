#include "engine/common/base/CSimpleMessage.h"

namespace RVGameEngine {
namespace Common {

namespace {

std::wstring CopyText(const wchar_t* text)
{
    return text != nullptr ? std::wstring(text) : std::wstring();
}

} // namespace

CSimpleMessage::CSimpleMessage(const wchar_t* name, uint32_t value1, uint32_t value2,
                               const wchar_t* text1, const wchar_t* text2)
    : m_name(CopyText(name)), m_value1(value1), m_value2(value2),
      m_text1(CopyText(text1)), m_text2(CopyText(text2))
{
}

} // namespace Common
} // namespace RVGameEngine
