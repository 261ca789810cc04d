#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/FatalError.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Base of every shared engine object. Counts are plain (not atomic): an object
// is shared across threads only where the program orders the accesses itself.
class RV_API IReferenceCounted
{
public:
    IReferenceCounted() = default;
    IReferenceCounted(const IReferenceCounted&) : m_referenceCount(0) {}
    IReferenceCounted& operator=(const IReferenceCounted&) { return *this; }
    virtual ~IReferenceCounted() = default;

    void AddRef() { ++m_referenceCount; }

    // Returns true when this call deleted the object. Releasing an object
    // whose count is already zero is an internal consistency failure.
    bool Release()
    {
        if (m_referenceCount <= 0)
            EngineFatalError("Release of a dead object");
        if (--m_referenceCount != 0)
            return false;
        delete this;
        return true;
    }

    int32_t GetReferenceCount() const { return m_referenceCount; }

private:
    int32_t m_referenceCount = 0;
};

} // namespace Common
} // namespace RVGameEngine
