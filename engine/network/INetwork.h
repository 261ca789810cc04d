#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/network/INetworkDriver.h"
#include "engine/network/NetworkEventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Network {

// The message connection manager: framed, check-summed, byte-substituted
// packets over a socket driver. Whatever the driver reports (from any
// thread) is queued; Update raises the queued events, in order, on the
// thread that calls it (see enmNetworkEvent).
class RV_API INetwork : public Common::CEventDelegateManager
{
public:
    // Both take a reference to the driver and make this manager its listener.
    virtual bool StartServer(INetworkDriver* driver, const char* address) = 0;
    virtual bool StartClient(INetworkDriver* driver) = 0;
    virtual void StopListening() = 0;
    virtual uint32_t Connect(const char* address) = 0;
    virtual void ConnectAsync(const char* address) = 0;
    virtual void Close(uint32_t socket) = 0;
    // False (nothing sent) for an unknown or damaged connection or a payload
    // over kMaxPacketPayload bytes; otherwise the driver's send result.
    // `kindFromCheck` writes 255 - check into the kind byte instead of 2.
    virtual bool SendPacket(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                            uint16_t length, bool kindFromCheck) = 0;
    virtual bool Send(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                      uint16_t length) = 0;
    virtual void Update() = 0;
    virtual uint32_t GetBytesSent() = 0;
    virtual uint32_t GetBytesReceived() = 0;
    // Forgets the connection and queues its closed event; the socket itself
    // stays open at the driver.
    virtual void CloseConnection(uint32_t socket) = 0;
};

// A new manager, count 0: hold it in a TIntrusivePointer.
RV_API INetwork* INetwork_Create();
// One process-wide manager, made on the first call and never destroyed.
RV_API INetwork* INetwork_GetInstance();

} // namespace Network
} // namespace RVGameEngine
