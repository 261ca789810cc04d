#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/network/INetworkDriver.h"

#include <cstdint>

namespace RVGameEngine {
namespace Network {

// Event ids raised by INetwork::Update (sender: the manager).
enum enmNetworkEvent : int32_t
{
    NETWORK_EVENT_CLIENT_ACCEPTED = 0,
    NETWORK_EVENT_CONNECT_RESULT = 1,
    NETWORK_EVENT_SOCKET_CLOSED = 2,
    NETWORK_EVENT_DATA_RECEIVED = 3,
};

// The records live only while the event fires; `address` and `data` point
// into the manager's queued copy, so a handler copies what it keeps.
struct RV_API tagNetworkClientAcceptedEventArgs : public Common::tagEventArgs
{
    uint32_t socket = kInvalidNetworkSocket;
};

struct RV_API tagNetworkConnectServerResultEventArgs : public Common::tagEventArgs
{
    uint32_t socket = kInvalidNetworkSocket;
    const char* address = nullptr;
    bool success = false;
};

struct RV_API tagNetworkSocketClosedEventArgs : public Common::tagEventArgs
{
    uint32_t socket = kInvalidNetworkSocket;
};

struct RV_API tagNetworkDataReceivedEventArgs : public Common::tagEventArgs
{
    uint32_t socket = kInvalidNetworkSocket;
    uint16_t mainCommand = 0;
    uint16_t subCommand = 0;
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

} // namespace Network
} // namespace RVGameEngine
