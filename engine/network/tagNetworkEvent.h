#pragma once

#include "engine/network/INetworkDriver.h"
#include "engine/network/NetworkEventArgs.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Network {

// One queued happening of the connection manager; owns its copies.
class CNetworkConnection;

struct tagNetworkEvent
{
    uint32_t kind = NETWORK_EVENT_SOCKET_CLOSED;
    uint32_t socket = kInvalidNetworkSocket;
    bool hasAddress = false;
    std::string address;
    bool success = true;
    // A whole received packet, header included, already decoded.
    std::vector<uint8_t> packet;
    // For a received packet: the connection whose queued count it is part of.
    std::shared_ptr<CNetworkConnection> connection;
    // A close the driver reported: it keeps the socket's number until the
    // event has been raised and the number is given back.
    bool releaseSocket = false;
    // For the other events than packets: what it was charged to the bound
    // of waiting connection events.
    uint32_t connectionEventCost = 0;
};

} // namespace Network
} // namespace RVGameEngine
