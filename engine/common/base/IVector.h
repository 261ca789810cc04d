#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// An ordered, growable list of shared objects. Every element holds one
// reference to its object (an element may also be empty). An index at or
// beyond GetCount is an internal consistency failure and stops the program.
class RV_API IVector : public IReferenceCounted
{
public:
    virtual void Add(TIntrusivePointer<IReferenceCounted> object) = 0;
    virtual void RemoveAt(uint32_t index) = 0;
    virtual void Clear() = 0;
    virtual int32_t GetCount() = 0;
    virtual TIntrusivePointer<IReferenceCounted> GetAt(uint32_t index) = 0;
    virtual void SetAt(uint32_t index, TIntrusivePointer<IReferenceCounted> object) = 0;

    // The element seen through one of its interfaces; empty when the element
    // is empty or its object does not implement T. Works for interfaces that
    // derive from IReferenceCounted virtually, too.
    template <typename T>
    TIntrusivePointer<T> GetAtAs(uint32_t index)
    {
        TIntrusivePointer<IReferenceCounted> element = GetAt(index);
        return TIntrusivePointer<T>(dynamic_cast<T*>(element.Get()), true);
    }
};

// A new, empty vector; empty pointer when memory runs out.
RV_API TIntrusivePointer<IVector> IVector_Create();

} // namespace Common
} // namespace RVGameEngine
