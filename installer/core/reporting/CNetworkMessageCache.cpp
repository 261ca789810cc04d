#include "installer/core/reporting/CNetworkMessageCache.h"

#include "engine/filesystem/ILogFile.h"

#include <new>

using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_WARNING;

bool CNetworkMessageCache::Add(uint16_t mainCommand, uint16_t subCommand, uint16_t size, const uint8_t* data)
{
    if (m_items.size() >= kMaxItems) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Message %u/%u dropped: %d messages already wait",
                                    mainCommand, subCommand, static_cast<int>(kMaxItems));
        return false;
    }
    if (size != 0 && data == nullptr) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Message %u/%u dropped: no data for %u bytes",
                                    mainCommand, subCommand, size);
        return false;
    }
    TIntrusivePointer<CNetworkMessageCacheItem> item(new (std::nothrow) CNetworkMessageCacheItem);
    if (!item)
        return false;
    item->mainCommand = mainCommand;
    item->subCommand = subCommand;
    item->size = size;
    if (size != 0)
        item->data.assign(data, data + size);
    m_items.push_back(item);
    return true;
}

TIntrusivePointer<CNetworkMessageCacheItem> CNetworkMessageCache::Take()
{
    TIntrusivePointer<CNetworkMessageCacheItem> item = Peek();
    if (item)
        m_items.pop_front();
    return item;
}

TIntrusivePointer<CNetworkMessageCacheItem> CNetworkMessageCache::Peek() const
{
    return m_items.empty() ? TIntrusivePointer<CNetworkMessageCacheItem>() : m_items.front();
}
