#pragma once

#include "engine/common/base/IVector.h"

#include <vector>

namespace RVGameEngine {
namespace Common {

class CVector : public IVector
{
public:
    void Add(TIntrusivePointer<IReferenceCounted> object) override;
    void RemoveAt(uint32_t index) override;
    void Clear() override;
    int32_t GetCount() override;
    TIntrusivePointer<IReferenceCounted> GetAt(uint32_t index) override;
    void SetAt(uint32_t index, TIntrusivePointer<IReferenceCounted> object) override;

private:
    void CheckIndex(uint32_t index) const;

    std::vector<TIntrusivePointer<IReferenceCounted>> m_elements;
};

} // namespace Common
} // namespace RVGameEngine
