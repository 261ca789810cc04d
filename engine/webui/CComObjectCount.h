#pragma once

#include <windows.h>

namespace RVGameEngine {
namespace WebUI {

// The COM reference count of the host's small objects. What is handed to the
// browser object lives while the browser object holds it, so each of them
// goes with its last reference, whoever gives it back. It starts with its
// maker's reference.
class CComObjectCount
{
protected:
    CComObjectCount() = default;
    virtual ~CComObjectCount() = default;
    CComObjectCount(const CComObjectCount&) = delete;
    CComObjectCount& operator=(const CComObjectCount&) = delete;

    ULONG AddComReference() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    // Deletes the object with the last reference: nothing of it may be
    // touched after a call that gave 0.
    ULONG ReleaseComReference()
    {
        const LONG count = InterlockedDecrement(&m_references);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

private:
    volatile LONG m_references = 1;
};

} // namespace WebUI
} // namespace RVGameEngine
