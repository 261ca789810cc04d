#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>
#include <vector>

// One message kept while its connection has no socket.
struct CNetworkMessageCacheItem : public RVGameEngine::Common::IReferenceCounted
{
    uint16_t mainCommand = 0;
    uint16_t subCommand = 0;
    uint16_t size = 0;
    std::vector<uint8_t> data;
};
