#pragma once

#include "installer/core/extraction/tagExtractionSlab.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

// A fixed number of equal slabs: the whole memory an extraction holds of the
// archive at once. Taking one waits until a writer has given one back.
class CExtractionSlabPool
{
public:
    CExtractionSlabPool(uint32_t slabCount, uint32_t slabBytes);
    CExtractionSlabPool(const CExtractionSlabPool&) = delete;
    CExtractionSlabPool& operator=(const CExtractionSlabPool&) = delete;

    uint32_t GetSlabBytes() const { return m_slabBytes; }
    // How many slabs memory allowed, which may be fewer than asked for.
    uint32_t GetSlabCount() const { return static_cast<uint32_t>(m_slabs.size()); }
    // A free slab with one user (the taker), or null when memory ran out.
    tagExtractionSlab* Take();
    // Adds a user: a piece that points into the slab.
    static void AddUser(tagExtractionSlab* slab) { slab->users.fetch_add(1); }
    // Drops a user; the last one gives the slab back.
    void Release(tagExtractionSlab* slab);

private:
    uint32_t m_slabBytes;
    std::vector<std::unique_ptr<tagExtractionSlab>> m_slabs;
    std::vector<tagExtractionSlab*> m_free;
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_returned = CONDITION_VARIABLE_INIT;
    bool m_waiting = false;
};
