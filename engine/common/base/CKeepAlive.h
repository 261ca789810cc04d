#pragma once

#include "engine/common/base/IReferenceCounted.h"

namespace RVGameEngine {
namespace Common {

// Keeps an object alive across a call that may drop its last outside
// reference (a handler that releases its sender, for one). An object no
// pointer holds yet (a count of 0: on the stack, or still being made) is left
// alone, since our release would delete it.
class CKeepAlive
{
public:
    explicit CKeepAlive(IReferenceCounted* object)
        : m_object(object->GetReferenceCount() > 0 ? object : nullptr)
    {
        if (m_object != nullptr)
            m_object->AddRef();
    }
    ~CKeepAlive()
    {
        if (m_object != nullptr)
            m_object->Release();
    }
    CKeepAlive(const CKeepAlive&) = delete;
    CKeepAlive& operator=(const CKeepAlive&) = delete;

private:
    IReferenceCounted* m_object;
};

} // namespace Common
} // namespace RVGameEngine
