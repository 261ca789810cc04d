#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// The engine's one lock type: a Win32 critical section (recursive for the
// thread that holds it).
class RV_API CCriticalSection
{
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock();
    void Unlock();

private:
    CRITICAL_SECTION m_section;
};

} // namespace Common
} // namespace RVGameEngine
