#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Network {

// What a socket driver reports to its owner (normally the connection
// manager). Drivers may call it from threads of their own, concurrently.
class RV_API INetworkDriverListener
{
public:
    virtual void OnClientAccepted(uint32_t socket) = 0;
    // `address` is the text given to Connect; valid only during the call.
    virtual void OnConnectResult(uint32_t socket, const char* address, bool success) = 0;
    // The driver keeps the number taken until the owner gives it back with
    // INetworkDriver::ReleaseSocket.
    virtual void OnSocketClosed(uint32_t socket) = 0;
    // `data` is valid only during the call.
    virtual void OnDataReceived(uint32_t socket, const uint8_t* data, uint32_t length) = 0;

protected:
    ~INetworkDriverListener() = default;
};

} // namespace Network
} // namespace RVGameEngine
