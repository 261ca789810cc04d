#pragma once

#include "installer/core/reporting/CNetworkMessageCacheItem.h"

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstddef>
#include <cstdint>
#include <deque>

// Messages waiting for a connection, first in first out. Bounded: a
// connection that never comes up must not make the program grow without end.
class CNetworkMessageCache : public RVGameEngine::Common::IReferenceCounted
{
public:
    static constexpr size_t kMaxItems = 256;

    // Keeps a copy of the bytes. False, with a log line, when the cache is
    // full (the message is dropped) or the data is missing for a size.
    bool Add(uint16_t mainCommand, uint16_t subCommand, uint16_t size, const uint8_t* data);
    // The oldest item, removed from the cache; empty when there is none.
    RVGameEngine::Common::TIntrusivePointer<CNetworkMessageCacheItem> Take();
    // The oldest item, left in the cache; empty when there is none.
    RVGameEngine::Common::TIntrusivePointer<CNetworkMessageCacheItem> Peek() const;
    size_t GetCount() const { return m_items.size(); }

private:
    std::deque<RVGameEngine::Common::TIntrusivePointer<CNetworkMessageCacheItem>> m_items;
};
