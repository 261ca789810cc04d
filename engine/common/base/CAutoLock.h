#pragma once

#include "engine/common/base/CCriticalSection.h"

namespace RVGameEngine {
namespace Common {

// Holds a critical section for the extent of a block; a null section makes
// the guard do nothing.
class CAutoLock
{
public:
    explicit CAutoLock(CCriticalSection* section) : m_section(section)
    {
        if (m_section != nullptr)
            m_section->Lock();
    }

    ~CAutoLock()
    {
        if (m_section != nullptr)
            m_section->Unlock();
    }

    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCriticalSection* m_section;
};

} // namespace Common
} // namespace RVGameEngine
