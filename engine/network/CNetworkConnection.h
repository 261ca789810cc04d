#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/network/CRingBuffer.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Network {

struct tagNetworkEvent;

// One socket's receive state in the connection manager. The ring is used
// only by the thread that delivers this socket's data; `bad` is also read by
// senders.
class CNetworkConnection
{
public:
    explicit CNetworkConnection(uint32_t socket);

    uint32_t GetSocket() const { return m_socket; }
    bool IsBad() const { return m_bad.load(); }
    void MarkBad() { m_bad.store(true); }

    // What this connection's packets queued for delivery and not yet raised
    // cost (bytes and bookkeeping). Received data waits in the manager's
    // queue until Update runs, so reading from a peer that sends faster than
    // the owner delivers is paused at a bound instead of growing the queue
    // without end.
    uint32_t GetQueuedBytes() const { return m_queuedBytes.load(); }
    void AddQueuedBytes(uint32_t bytes) { m_queuedBytes += bytes; }
    void RemoveQueuedBytes(uint32_t bytes) { m_queuedBytes -= bytes; }
    // Whether receiving should be paused now (and was not) or resumed now
    // (and was paused), given the queued cost: paused from `bound` on,
    // resumed below half of it. Changes the state it reports; the caller
    // tells the driver while it still holds GetPauseLock. Never true once
    // the socket has closed: its number may already be another connection's.
    bool PauseChanges(uint32_t bound, bool* paused);
    // The record is gone (its packets may still wait); whether receiving was
    // paused then. The caller holds GetPauseLock.
    bool MarkClosed();
    Common::CCriticalSection& GetPauseLock() { return m_pauseLock; }

    // Appends received bytes and cuts whole packets out of the stream; each
    // verified packet becomes a data event appended to `events`. A size out
    // of range or a failed check marks the connection bad, after which
    // nothing more is taken from it.
    void Receive(const uint8_t* data, uint32_t length, std::vector<tagNetworkEvent*>& events);

private:
    void ReceivePiece(const uint8_t* data, uint32_t length, std::vector<tagNetworkEvent*>& events);

    uint32_t m_socket;
    CRingBuffer m_ring;
    std::atomic<bool> m_bad{false};
    std::atomic<uint32_t> m_queuedBytes{0};
    Common::CCriticalSection m_pauseLock;
    // Both under m_pauseLock.
    bool m_paused = false;
    bool m_closed = false;
};

} // namespace Network
} // namespace RVGameEngine
