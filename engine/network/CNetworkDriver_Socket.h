#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/EngineApi.h"
#include "engine/network/CSocketDriverCore.h"
#include "engine/network/INetworkDriver.h"

#include <memory>

namespace RVGameEngine {
namespace Network {

// The socket transport with threads of its own: blocking sockets, one
// accept thread per listening socket, one receive thread per connection and
// a short-lived thread per asynchronous connect. Listener calls come from
// those threads (and from the caller of Connect).
//
// Destroying the driver detaches its listener, stops listening, shuts every
// connection down and waits (bounded) until its threads have ended.
class CNetworkDriver_Socket : public INetworkDriver
{
public:
    explicit CNetworkDriver_Socket(DWORD sendTimeoutMs = CSocketDriverCore::kDefaultSendTimeoutMs);
    ~CNetworkDriver_Socket() override;

    bool Listen(INetworkDriverListener* listener, const char* address) override;
    bool Initialize(INetworkDriverListener* listener) override;
    void StopListening() override;
    uint32_t Connect(const char* address) override;
    uint32_t ConnectAsync(const char* address) override;
    void Close(uint32_t socket) override;
    bool Send(uint32_t socket, const uint8_t* data, uint32_t length) override;
    void PauseReceiving(uint32_t socket, bool paused) override;
    void ReadArrived() override;
    void ReleaseSocket(uint32_t socket) override;
    void PauseAccepting(bool paused) override;

    // Whether the socket's reading now waits for the owner's ReadArrived.
    bool IsReadingHandedOver(uint32_t socket);

private:
    std::shared_ptr<CSocketDriverCore> m_core;
};

} // namespace Network
} // namespace RVGameEngine
