#pragma once

#include "engine/network/INetworkDriver.h"
#include "engine/network/NetworkEventArgs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Network {

// One queued happening of the connection manager; owns its copies.
struct tagNetworkEvent
{
    uint32_t kind = NETWORK_EVENT_SOCKET_CLOSED;
    uint32_t socket = kInvalidNetworkSocket;
    bool hasAddress = false;
    std::string address;
    bool success = true;
    // A whole received packet, header included, already decoded.
    std::vector<uint8_t> packet;
};

} // namespace Network
} // namespace RVGameEngine
