#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/FatalError.h"

#include <atomic>
#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Base of every shared engine object. The count is atomic: objects handed
// between threads (archive readers, log handlers, strings) may gain and lose
// references on several threads at once.
class RV_API IReferenceCounted
{
public:
    IReferenceCounted() = default;
    IReferenceCounted(const IReferenceCounted&) : m_referenceCount(0) {}
    IReferenceCounted& operator=(const IReferenceCounted&) { return *this; }
    virtual ~IReferenceCounted() = default;

    void AddRef() { m_referenceCount.fetch_add(1); }

    // Returns true when this call deleted the object. Releasing an object
    // whose count is already zero is an internal consistency failure.
    bool Release()
    {
        const int32_t remaining = m_referenceCount.fetch_sub(1) - 1;
        if (remaining < 0)
            EngineFatalError("Release of a dead object");
        if (remaining != 0)
            return false;
        delete this;
        return true;
    }

    int32_t GetReferenceCount() const { return m_referenceCount.load(); }

private:
    std::atomic<int32_t> m_referenceCount{0};
};

} // namespace Common
} // namespace RVGameEngine
