#include "engine/network/CNetwork.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CKeepAlive.h"
#include "engine/network/PacketFormat.h"

#include <algorithm>
#include <new>
#include <vector>

namespace RVGameEngine {
namespace Network {

using Common::CAutoLock;

CNetwork::~CNetwork()
{
    // The driver's threads may still report; after this call they no longer
    // reach this object.
    if (m_driver)
        m_driver->Initialize(nullptr);
    for (tagNetworkEvent* event : m_events) {
        if (event->releaseSocket)
            m_driver->ReleaseSocket(event->socket);
        delete event;
    }
    m_events.clear();
}

bool CNetwork::StartServer(INetworkDriver* driver, const char* address)
{
    m_driver = Common::TIntrusivePointer<INetworkDriver>(driver);
    if (!m_driver)
        return false;
    return m_driver->Listen(this, address);
}

bool CNetwork::StartClient(INetworkDriver* driver)
{
    m_driver = Common::TIntrusivePointer<INetworkDriver>(driver);
    if (!m_driver)
        return false;
    return m_driver->Initialize(this);
}

void CNetwork::StopListening()
{
    if (m_driver)
        m_driver->StopListening();
}

uint32_t CNetwork::Connect(const char* address)
{
    return m_driver ? m_driver->Connect(address) : kInvalidNetworkSocket;
}

void CNetwork::ConnectAsync(const char* address)
{
    if (m_driver)
        m_driver->ConnectAsync(address);
}

void CNetwork::Close(uint32_t socket)
{
    if (m_driver)
        m_driver->Close(socket);
}

bool CNetwork::SendPacket(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                          uint16_t length, bool kindFromCheck)
{
    const std::shared_ptr<CNetworkConnection> connection = FindConnection(socket);
    if (!connection || connection->IsBad() || !m_driver)
        return false;
    uint8_t packet[kMaxPacketSize];
    const uint32_t size = EncodePacket(mainCommand, subCommand, data, length, kindFromCheck, packet);
    if (size == 0)
        return false;
    m_bytesSent += size;
    if (m_driver->Send(socket, packet, size))
        return true;
    // Part of the packet may be on the wire already: whatever followed it
    // would be read as a damaged frame, so the connection ends here.
    DropConnection(*connection);
    return false;
}

bool CNetwork::Send(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                    uint16_t length)
{
    return SendPacket(socket, mainCommand, subCommand, data, length, false);
}

void CNetwork::Update()
{
    if (!m_driver)
        return;
    // A handler may drop the last reference to this manager.
    Common::CKeepAlive keepAlive(this);
    // What has arrived on connections whose reading the driver left to us is
    // read and queued now, so that it is raised in this call.
    m_driver->ReadArrived();
    // Only what was queued before this call, and at most a bounded number of
    // events: a peer that keeps sending (or a handler that keeps queueing)
    // cannot keep one call busy. The rest waits, in order, for the next call.
    size_t left = std::min<size_t>(QueuedEventCount(), kMaxEventsPerUpdate);
    for (; left > 0; --left) {
        std::unique_ptr<tagNetworkEvent> event(TakeEvent());
        if (!event)
            break;
        if (event->connection) {
            event->connection->RemoveQueuedBytes(static_cast<uint32_t>(event->packet.size()) + kQueuedPacketOverhead);
            ApplyBackPressure(*event->connection);
        } else if (event->connectionEventCost != 0) {
            m_queuedConnectionEventBytes -= event->connectionEventCost;
            ApplyAcceptBackPressure();
        }
        RaiseEvent(*event);
        // Only now may the number go to another connection: every handler
        // that could still act on this one by number has run.
        if (event->releaseSocket)
            m_driver->ReleaseSocket(event->socket);
    }
}

void CNetwork::CloseConnection(uint32_t socket)
{
    // The socket stays open at the driver (and its number taken), so it is
    // not given back after the event.
    RemoveConnection(socket, false);
}

void CNetwork::OnClientAccepted(uint32_t socket)
{
    AddConnection(socket);
    tagNetworkEvent* event = new tagNetworkEvent;
    event->kind = NETWORK_EVENT_CLIENT_ACCEPTED;
    event->socket = socket;
    QueueConnectionEvent(event);
}

void CNetwork::OnConnectResult(uint32_t socket, const char* address, bool success)
{
    AddConnection(socket);
    tagNetworkEvent* event = new tagNetworkEvent;
    event->kind = NETWORK_EVENT_CONNECT_RESULT;
    event->socket = socket;
    event->hasAddress = address != nullptr;
    if (address != nullptr)
        event->address = address;
    event->success = success;
    QueueConnectionEvent(event);
}

void CNetwork::OnSocketClosed(uint32_t socket)
{
    RemoveConnection(socket, true);
}

void CNetwork::RemoveConnection(uint32_t socket, bool endedAtDriver)
{
    std::shared_ptr<CNetworkConnection> removed;
    {
        CAutoLock lock(&m_connectionLock);
        auto found = m_connections.find(socket);
        if (found != m_connections.end()) {
            removed = std::move(found->second);
            m_connections.erase(found);
        }
    }
    if (removed) {
        // Its packets still waiting for Update must not pause or resume the
        // socket from now on. A socket the driver keeps open is read again:
        // left paused, it would never be read nor its end seen.
        CAutoLock lock(&removed->GetPauseLock());
        if (removed->MarkClosed() && !endedAtDriver && m_driver)
            m_driver->PauseReceiving(socket, false);
    }
    tagNetworkEvent* event = new tagNetworkEvent;
    event->kind = NETWORK_EVENT_SOCKET_CLOSED;
    event->socket = socket;
    event->releaseSocket = endedAtDriver;
    QueueConnectionEvent(event);
}

void CNetwork::OnDataReceived(uint32_t socket, const uint8_t* data, uint32_t length)
{
    const std::shared_ptr<CNetworkConnection> connection = FindConnection(socket);
    if (!connection || connection->IsBad() || data == nullptr)
        return;
    m_bytesReceived += length;
    std::vector<tagNetworkEvent*> packets;
    connection->Receive(data, length, packets);
    QueuePackets(connection, packets);
    // Nothing more is taken from a damaged stream: reading on would only
    // drop whatever the peer keeps sending.
    if (connection->IsBad() && m_driver)
        m_driver->Close(socket);
}

void CNetwork::QueuePackets(const std::shared_ptr<CNetworkConnection>& connection,
                            const std::vector<tagNetworkEvent*>& packets)
{
    if (packets.empty())
        return;
    uint32_t cost = 0;
    for (tagNetworkEvent* packet : packets) {
        packet->connection = connection;
        cost += static_cast<uint32_t>(packet->packet.size()) + kQueuedPacketOverhead;
    }
    // Counted before they can be taken, so that Update never counts below 0.
    connection->AddQueuedBytes(cost);
    {
        CAutoLock lock(&m_eventLock);
        m_events.insert(m_events.end(), packets.begin(), packets.end());
    }
    ApplyBackPressure(*connection);
}

void CNetwork::ApplyBackPressure(CNetworkConnection& connection)
{
    // Decided and told under the connection's lock: a pause from the
    // receiving thread and a resume from Update reach the driver in the
    // order they were decided.
    CAutoLock lock(&connection.GetPauseLock());
    bool paused = false;
    if (connection.PauseChanges(kMaxQueuedBytesPerConnection, &paused) && m_driver)
        m_driver->PauseReceiving(connection.GetSocket(), paused);
}

void CNetwork::DropConnection(CNetworkConnection& connection)
{
    connection.MarkBad();
    if (m_driver)
        m_driver->Close(connection.GetSocket());
}

void CNetwork::AddConnection(uint32_t socket)
{
    auto connection = std::make_shared<CNetworkConnection>(socket);
    CAutoLock lock(&m_connectionLock);
    m_connections[socket] = std::move(connection);
}

std::shared_ptr<CNetworkConnection> CNetwork::FindConnection(uint32_t socket)
{
    CAutoLock lock(&m_connectionLock);
    auto found = m_connections.find(socket);
    return found == m_connections.end() ? nullptr : found->second;
}

void CNetwork::QueueConnectionEvent(tagNetworkEvent* event)
{
    event->connectionEventCost = kQueuedPacketOverhead + static_cast<uint32_t>(event->address.size());
    // Counted before it can be taken, so that Update never counts below 0.
    m_queuedConnectionEventBytes += event->connectionEventCost;
    {
        CAutoLock lock(&m_eventLock);
        m_events.push_back(event);
    }
    ApplyAcceptBackPressure();
}

void CNetwork::ApplyAcceptBackPressure()
{
    CAutoLock lock(&m_acceptPauseLock);
    const uint32_t queued = m_queuedConnectionEventBytes.load();
    const bool pause = m_acceptPaused ? queued >= kMaxQueuedConnectionEventBytes / 2
                                      : queued >= kMaxQueuedConnectionEventBytes;
    if (pause == m_acceptPaused || !m_driver)
        return;
    m_acceptPaused = pause;
    m_driver->PauseAccepting(pause);
}

size_t CNetwork::QueuedEventCount()
{
    CAutoLock lock(&m_eventLock);
    return m_events.size();
}

tagNetworkEvent* CNetwork::TakeEvent()
{
    CAutoLock lock(&m_eventLock);
    if (m_events.empty())
        return nullptr;
    tagNetworkEvent* event = m_events.front();
    m_events.pop_front();
    return event;
}

void CNetwork::RaiseEvent(const tagNetworkEvent& event)
{
    switch (event.kind) {
    case NETWORK_EVENT_CLIENT_ACCEPTED: {
        tagNetworkClientAcceptedEventArgs args;
        args.socket = event.socket;
        Fire(NETWORK_EVENT_CLIENT_ACCEPTED, this, &args);
        break;
    }
    case NETWORK_EVENT_CONNECT_RESULT: {
        tagNetworkConnectServerResultEventArgs args;
        args.socket = event.socket;
        args.address = event.hasAddress ? event.address.c_str() : nullptr;
        args.success = event.success;
        Fire(NETWORK_EVENT_CONNECT_RESULT, this, &args);
        break;
    }
    case NETWORK_EVENT_SOCKET_CLOSED: {
        tagNetworkSocketClosedEventArgs args;
        args.socket = event.socket;
        Fire(NETWORK_EVENT_SOCKET_CLOSED, this, &args);
        break;
    }
    case NETWORK_EVENT_DATA_RECEIVED: {
        tagNetworkDataReceivedEventArgs args;
        args.socket = event.socket;
        args.mainCommand = ReadPacketWord(event.packet.data(), 4);
        args.subCommand = ReadPacketWord(event.packet.data(), 6);
        args.data = event.packet.data() + kPacketHeaderSize;
        args.length = static_cast<uint32_t>(event.packet.size()) - kPacketHeaderSize;
        Fire(NETWORK_EVENT_DATA_RECEIVED, this, &args);
        break;
    }
    default:
        break;
    }
}

INetwork* INetwork_Create()
{
    return new (std::nothrow) CNetwork;
}

INetwork* INetwork_GetInstance()
{
    // Held by a reference that is never given back.
    static INetwork* instance = [] {
        INetwork* network = INetwork_Create();
        if (network != nullptr)
            network->AddRef();
        return network;
    }();
    return instance;
}

} // namespace Network
} // namespace RVGameEngine
