#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Common {

// One queued message of the simple message pump: a name, two numbers and two
// texts, copied from the poster so the poster's buffers may go at once.
class CSimpleMessage : public IReferenceCounted
{
public:
    CSimpleMessage() = default;
    CSimpleMessage(const wchar_t* name, uint32_t value1, uint32_t value2,
                   const wchar_t* text1, const wchar_t* text2);

    std::wstring m_name;
    uint32_t m_value1 = 0;
    uint32_t m_value2 = 0;
    std::wstring m_text1;
    std::wstring m_text2;
};

} // namespace Common
} // namespace RVGameEngine
