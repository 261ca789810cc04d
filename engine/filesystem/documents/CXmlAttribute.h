#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <string>

namespace RVGameEngine {
namespace Common {

class CXmlAttribute : public IReferenceCounted
{
public:
    CXmlAttribute(const wchar_t* attributeName, const wchar_t* attributeValue)
        : name(attributeName), value(attributeValue)
    {
    }

    std::wstring name;
    std::wstring value;
};

} // namespace Common
} // namespace RVGameEngine
