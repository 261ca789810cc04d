#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/network/CNetworkConnection.h"
#include "engine/network/INetwork.h"
#include "engine/network/INetworkDriverListener.h"
#include "engine/network/tagNetworkEvent.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace RVGameEngine {
namespace Network {

// The connection manager. The connection map and the event queue each have
// their own lock, never held together and never while a handler runs.
// Connection records are shared, so one that a receive thread is still
// working on stays valid after another thread removed it from the map.
class CNetwork : public INetwork, public INetworkDriverListener
{
public:
    CNetwork() = default;
    // Detaches from the driver, then frees the records and queued events.
    ~CNetwork() override;

    bool StartServer(INetworkDriver* driver, const char* address) override;
    bool StartClient(INetworkDriver* driver) override;
    void StopListening() override;
    uint32_t Connect(const char* address) override;
    void ConnectAsync(const char* address) override;
    void Close(uint32_t socket) override;
    bool SendPacket(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                    uint16_t length, bool kindFromCheck) override;
    bool Send(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
              uint16_t length) override;
    void Update() override;
    uint32_t GetBytesSent() override { return m_bytesSent.load(); }
    uint32_t GetBytesReceived() override { return m_bytesReceived.load(); }
    void CloseConnection(uint32_t socket) override;

    void OnClientAccepted(uint32_t socket) override;
    void OnConnectResult(uint32_t socket, const char* address, bool success) override;
    void OnSocketClosed(uint32_t socket) override;
    void OnDataReceived(uint32_t socket, const uint8_t* data, uint32_t length) override;

private:
    void AddConnection(uint32_t socket);
    // Forgets the socket's record and queues its closed event;
    // `endedAtDriver`: the driver reported it and keeps the number until the
    // event is raised.
    void RemoveConnection(uint32_t socket, bool endedAtDriver);
    std::shared_ptr<CNetworkConnection> FindConnection(uint32_t socket);
    // Queues a connection's received packets, pausing its receiving once
    // they cost kMaxQueuedBytesPerConnection or more.
    void QueuePackets(const std::shared_ptr<CNetworkConnection>& connection,
                      const std::vector<tagNetworkEvent*>& packets);
    // Pauses or resumes the connection's receiving as its queued cost asks.
    void ApplyBackPressure(CNetworkConnection& connection);
    // Marks it bad and has the driver close it; the closed event follows.
    void DropConnection(CNetworkConnection& connection);
    // Queues an accepted, connect-result or closed event, charged to the
    // bound of waiting connection events.
    void QueueConnectionEvent(tagNetworkEvent* event);
    // Pauses or resumes accepting as the connection events' cost asks.
    void ApplyAcceptBackPressure();
    size_t QueuedEventCount();
    tagNetworkEvent* TakeEvent();
    void RaiseEvent(const tagNetworkEvent& event);

    Common::TIntrusivePointer<INetworkDriver> m_driver;
    std::map<uint32_t, std::shared_ptr<CNetworkConnection>> m_connections;
    Common::CCriticalSection m_connectionLock;
    std::deque<tagNetworkEvent*> m_events;
    Common::CCriticalSection m_eventLock;
    std::atomic<uint32_t> m_queuedConnectionEventBytes{0};
    // Whether accepting is paused; decided and told under its lock.
    Common::CCriticalSection m_acceptPauseLock;
    bool m_acceptPaused = false;
    std::atomic<uint32_t> m_bytesSent{0};
    std::atomic<uint32_t> m_bytesReceived{0};
};

} // namespace Network
} // namespace RVGameEngine
