#include "installer/core/extraction/CExtractionSlabPool.h"

#include <new>

CExtractionSlabPool::CExtractionSlabPool(uint32_t slabCount, uint32_t slabBytes) : m_slabBytes(slabBytes)
{
    for (uint32_t i = 0; i < slabCount; ++i) {
        std::unique_ptr<tagExtractionSlab> slab(new (std::nothrow) tagExtractionSlab());
        if (slab != nullptr)
            slab->bytes.reset(new (std::nothrow) uint8_t[slabBytes]);
        // Fewer slabs only mean less overlap; none at all fails the extraction.
        if (slab == nullptr || slab->bytes == nullptr)
            break;
        m_free.push_back(slab.get());
        m_slabs.push_back(std::move(slab));
    }
}

tagExtractionSlab* CExtractionSlabPool::Take()
{
    if (m_slabs.empty())
        return nullptr;
    AcquireSRWLockExclusive(&m_lock);
    while (m_free.empty()) {
        m_waiting = true;
        SleepConditionVariableSRW(&m_returned, &m_lock, INFINITE, 0);
        m_waiting = false;
    }
    tagExtractionSlab* slab = m_free.back();
    m_free.pop_back();
    ReleaseSRWLockExclusive(&m_lock);
    slab->users.store(1);
    return slab;
}

void CExtractionSlabPool::Release(tagExtractionSlab* slab)
{
    if (slab->users.fetch_sub(1) != 1)
        return;
    AcquireSRWLockExclusive(&m_lock);
    m_free.push_back(slab);
    const bool wake = m_waiting;
    ReleaseSRWLockExclusive(&m_lock);
    if (wake)
        WakeConditionVariable(&m_returned);
}
