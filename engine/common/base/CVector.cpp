#include "engine/common/base/CVector.h"

#include "engine/common/base/FatalError.h"

#include <new>

namespace RVGameEngine {
namespace Common {

void CVector::Add(TIntrusivePointer<IReferenceCounted> object)
{
    m_elements.push_back(std::move(object));
}

void CVector::RemoveAt(uint32_t index)
{
    CheckIndex(index);
    // Take the element out before releasing it: its destructor may reach
    // back into this vector.
    TIntrusivePointer<IReferenceCounted> removed = std::move(m_elements[index]);
    m_elements.erase(m_elements.begin() + index);
}

void CVector::Clear()
{
    // Same reason as RemoveAt: the list is already empty when the objects go.
    std::vector<TIntrusivePointer<IReferenceCounted>> removed;
    removed.swap(m_elements);
}

int32_t CVector::GetCount()
{
    return static_cast<int32_t>(m_elements.size());
}

TIntrusivePointer<IReferenceCounted> CVector::GetAt(uint32_t index)
{
    CheckIndex(index);
    return m_elements[index];
}

void CVector::SetAt(uint32_t index, TIntrusivePointer<IReferenceCounted> object)
{
    CheckIndex(index);
    m_elements[index] = object;
}

void CVector::CheckIndex(uint32_t index) const
{
    if (index >= m_elements.size())
        EngineFatalError("Vector index out of range");
}

TIntrusivePointer<IVector> IVector_Create()
{
    return TIntrusivePointer<IVector>(new (std::nothrow) CVector, true);
}

} // namespace Common
} // namespace RVGameEngine
