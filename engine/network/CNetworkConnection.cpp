#include "engine/network/CNetworkConnection.h"

#include "engine/network/PacketFormat.h"
#include "engine/network/tagNetworkEvent.h"

#include <algorithm>
#include <memory>

namespace RVGameEngine {
namespace Network {

CNetworkConnection::CNetworkConnection(uint32_t socket) : m_socket(socket)
{
    m_ring.SetCapacity(kReceiveRingCapacity);
}

bool CNetworkConnection::PauseChanges(uint32_t bound, bool* paused)
{
    if (m_closed)
        return false;
    const uint32_t queued = GetQueuedBytes();
    const bool pause = m_paused ? queued >= bound / 2 : queued >= bound;
    if (pause == m_paused)
        return false;
    m_paused = pause;
    *paused = pause;
    return true;
}

bool CNetworkConnection::MarkClosed()
{
    m_closed = true;
    return m_paused;
}

void CNetworkConnection::Receive(const uint8_t* data, uint32_t length, std::vector<tagNetworkEvent*>& events)
{
    while (length > 0 && !IsBad()) {
        const uint32_t piece = std::min(length, kMaxPacketSize);
        ReceivePiece(data, piece, events);
        data += piece;
        length -= piece;
    }
}

void CNetworkConnection::ReceivePiece(const uint8_t* data, uint32_t length,
                                      std::vector<tagNetworkEvent*>& events)
{
    // At most one partial packet (under kMaxPacketSize bytes) is ever left
    // behind, so a piece always fits; refuse rather than overrun if not.
    if (!m_ring.Write(data, static_cast<int32_t>(length))) {
        MarkBad();
        return;
    }
    uint8_t header[kPacketHeaderSize];
    while (m_ring.Peek(header, kPacketHeaderSize)) {
        const uint32_t size = PacketSizeField(header);
        if (size < kPacketHeaderSize || size > kMaxPacketSize) {
            MarkBad();
            return;
        }
        if (static_cast<uint32_t>(m_ring.GetUsed()) < size)
            return;
        std::unique_ptr<tagNetworkEvent> event(new tagNetworkEvent);
        event->kind = NETWORK_EVENT_DATA_RECEIVED;
        event->socket = m_socket;
        event->packet.resize(size);
        m_ring.Read(event->packet.data(), static_cast<int32_t>(size));
        if (!DecodePacket(event->packet.data(), size)) {
            MarkBad();
            return;
        }
        events.push_back(event.release());
    }
}

} // namespace Network
} // namespace RVGameEngine
