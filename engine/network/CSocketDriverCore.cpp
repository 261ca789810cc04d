#include <winsock2.h>

#include "engine/network/CSocketDriverCore.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/network/INetworkDriver.h"
#include "engine/network/RunOverlapped.h"
#include "engine/network/SocketAddress.h"

#include <algorithm>
#include <vector>

namespace RVGameEngine {
namespace Network {

using Common::CAutoLock;

namespace {

// How long a blocking connect may take.
constexpr uint32_t kConnectTimeoutMs = 3000;
// How often the accept thread looks whether it should stop.
constexpr long kAcceptPollMs = 100;
// One receive, as much as one ring of the manager holds.
constexpr int kReceiveBufferSize = 4108;
// Reads of one socket in one ReadArrived call, at most (about 1 MB).
constexpr int kMaxOwnerReadsPerCall = 256;
constexpr int kListenBacklog = 32;
// How long a detach waits for the driver's threads: a receive or accept
// thread ends at once, a connect thread within its connect limit.
constexpr DWORD kThreadEndLimitMs = kConnectTimeoutMs + 2000;

// Everything a started thread needs; the thread deletes it.
struct tagThreadParameter
{
    std::shared_ptr<CSocketDriverCore> core;
    std::shared_ptr<void> record;
    SOCKET socket = INVALID_SOCKET;
    std::string address;
};

} // namespace

CSocketDriverCore::CDriverSocket::CDriverSocket(SOCKET socket)
    : handle(socket), closeRequested(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      receiveAllowed(CreateEventW(nullptr, TRUE, TRUE, nullptr)), sendRoom(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      readingReturned(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    u_long nonBlocking = 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
    if (sendRoom.IsValid())
        WSAEventSelect(socket, sendRoom.Get(), FD_WRITE);
}

CSocketDriverCore::CSocketDriverCore(DWORD sendTimeoutMs)
    : m_sendTimeoutMs(sendTimeoutMs), m_detaching(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_acceptAllowed(CreateEventW(nullptr, TRUE, TRUE, nullptr))
{
}

CSocketDriverCore::~CSocketDriverCore() = default;

bool CSocketDriverCore::StartThread(LPTHREAD_START_ROUTINE routine, void* parameter, tagStartedThread* kept)
{
    std::unique_ptr<tagThreadParameter> owned(static_cast<tagThreadParameter*>(parameter));
    CAutoLock lock(&m_threadLock);
    if (m_detached)
        return false;
    // Threads that have ended give their place back.
    for (size_t i = m_threads.size(); i-- > 0;) {
        if (WaitForSingleObject(m_threads[i].handle.Get(), 0) == WAIT_OBJECT_0)
            m_threads.erase(m_threads.begin() + static_cast<std::ptrdiff_t>(i));
    }
    tagStartedThread started;
    started.handle.Reset(CreateThread(nullptr, 0, routine, owned.get(), 0, &started.id));
    if (!started.handle.IsValid())
        return false;
    owned.release();
    if (kept != nullptr)
        *kept = std::move(started);
    else
        m_threads.push_back(std::move(started));
    return true;
}

void CSocketDriverCore::WaitForThreads(const std::vector<tagStartedThread>& threads, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    for (const tagStartedThread& thread : threads) {
        // A thread of ours may detach the driver (a listener that drops it):
        // it cannot wait for its own end.
        if (thread.id == GetCurrentThreadId())
            continue;
        const DWORD waited = GetTickCount() - start;
        WaitForSingleObject(thread.handle.Get(), waited < limitMs ? limitMs - waited : 0);
    }
}

void CSocketDriverCore::SetListener(INetworkDriverListener* listener)
{
    CAutoLock lock(&m_listenerLock);
    m_listener = listener;
}

bool CSocketDriverCore::Listen(const char* address)
{
    if (m_listenSocket.IsValid())
        return false;
    sockaddr_in resolved;
    if (!ResolveSocketAddress(address, &resolved))
        return false;
    Common::CScopedSocket listenSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listenSocket.IsValid())
        return false;
    if (bind(listenSocket.Get(), reinterpret_cast<const sockaddr*>(&resolved), sizeof(resolved)) != 0
        || listen(listenSocket.Get(), kListenBacklog) != 0)
        return false;

    m_stopAccepting = false;
    tagThreadParameter* parameter = new tagThreadParameter;
    parameter->core = shared_from_this();
    parameter->socket = listenSocket.Get();
    if (!StartThread(&CSocketDriverCore::AcceptThread, parameter, &m_acceptThread))
        return false;
    m_listenSocket = std::move(listenSocket);
    return true;
}

void CSocketDriverCore::StopListening()
{
    m_stopAccepting = true;
    if (m_acceptThread.handle.IsValid()) {
        // It polls the flag; its socket is closed once it no longer waits on it.
        std::vector<tagStartedThread> accepting(1);
        accepting[0] = std::move(m_acceptThread);
        WaitForThreads(accepting, INFINITE);
    }
    m_listenSocket.Close();
    m_stopping = true;
}

uint32_t CSocketDriverCore::Connect(const char* address)
{
    sockaddr_in resolved;
    if (!ResolveSocketAddress(address, &resolved))
        return kInvalidNetworkSocket;
    Common::CScopedSocket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!connection.IsValid())
        return kInvalidNetworkSocket;
    const uint32_t number = static_cast<uint32_t>(connection.Get());
    if (!ConnectWithin(connection.Get(), resolved, kConnectTimeoutMs)) {
        // Reported while the number is still this socket's: closed first, it
        // could go to another connect, whose record the late failure would
        // then replace.
        NotifyConnectResult(number, address, false);
        return kInvalidNetworkSocket;
    }
    SocketRecord record = std::make_shared<CDriverSocket>(connection.Release());
    record->hasReader = true;
    AddSocket(record);
    NotifyConnectResult(number, address, true);
    StartReceiving(record);
    return number;
}

bool CSocketDriverCore::ConnectWithin(SOCKET socket, const sockaddr_in& address, DWORD limitMs)
{
    const Common::CScopedKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!connected.IsValid() || !m_detaching.IsValid()
        || WSAEventSelect(socket, connected.Get(), FD_CONNECT) != 0)
        return false;
    bool done = connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (!done && WSAGetLastError() == WSAEWOULDBLOCK) {
        const HANDLE waits[2] = {connected.Get(), m_detaching.Get()};
        WSANETWORKEVENTS happened{};
        done = WaitForMultipleObjects(2, waits, FALSE, limitMs) == WAIT_OBJECT_0
            && WSAEnumNetworkEvents(socket, connected.Get(), &happened) == 0
            && (happened.lNetworkEvents & FD_CONNECT) != 0 && happened.iErrorCode[FD_CONNECT_BIT] == 0;
    }
    // The socket stays non-blocking; the connection record asks for its own
    // signals.
    WSAEventSelect(socket, nullptr, 0);
    return done;
}

bool CSocketDriverCore::ConnectAsync(const char* address)
{
    if (address == nullptr)
        return false;
    tagThreadParameter* parameter = new tagThreadParameter;
    parameter->core = shared_from_this();
    parameter->address = address;
    return StartThread(&CSocketDriverCore::ConnectThread, parameter);
}

void CSocketDriverCore::Close(uint32_t socket)
{
    SocketRecord dropped;
    CAutoLock lock(&m_socketLock);
    auto found = m_sockets.find(socket);
    if (found == m_sockets.end() || found->second->ended)
        return;
    found->second->closing = true;
    if (found->second->hasReader) {
        // The receive thread wakes, reports the close and shuts the socket
        // down; a send waiting for room gives up.
        SetEvent(found->second->closeRequested.Get());
        return;
    }
    // Nobody reads it any more (listening stopped): close it here, quietly.
    dropped = std::move(found->second);
    m_sockets.erase(found);
}

void CSocketDriverCore::ReleaseSocket(uint32_t socket)
{
    SocketRecord released;
    CAutoLock lock(&m_socketLock);
    auto found = m_sockets.find(socket);
    if (found == m_sockets.end() || !found->second->ended)
        return;
    // Closed when the last holder (a send still giving up) lets go.
    released = std::move(found->second);
    m_sockets.erase(found);
}

bool CSocketDriverCore::Send(uint32_t socket, const uint8_t* data, uint32_t length)
{
    // The time limit covers the whole call, the wait for another sender
    // included.
    const DWORD start = GetTickCount();
    const SocketRecord record = FindSocket(socket);
    if (!record || (data == nullptr && length != 0))
        return false;
    // One sender at a time per socket, so that packets never interleave.
    CAutoLock lock(&record->sendLock);
    if (record->sendFailed || record->closing)
        return false;
    // A plain send on the non-blocking socket; only when its buffer is full
    // is there a wait, for room or for a close request.
    while (length > 0) {
        const int count = send(record->handle.Get(), reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
        if (count > 0) {
            data += count;
            length -= static_cast<uint32_t>(count);
            continue;
        }
        if (count == 0 || WSAGetLastError() != WSAEWOULDBLOCK || !WaitForSendRoom(*record, start)) {
            // Part of a packet may be on the wire: nothing may follow it.
            record->sendFailed = true;
            return false;
        }
    }
    return true;
}

bool CSocketDriverCore::WaitForSendRoom(CDriverSocket& record, DWORD start)
{
    const DWORD waited = GetTickCount() - start;
    if (waited >= m_sendTimeoutMs || record.closing)
        return false;
    // The room signal is set whenever room came after a full buffer; one
    // left from earlier would end the wait at once, so it is cleared and
    // the send retried first (room that came in between is not missed).
    ResetEvent(record.sendRoom.Get());
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(record.handle.Get(), &writable);
    timeval now{0, 0};
    if (select(0, nullptr, &writable, nullptr, &now) > 0)
        return true;
    const HANDLE waits[2] = {record.closeRequested.Get(), record.sendRoom.Get()};
    return WaitForMultipleObjects(2, waits, FALSE, m_sendTimeoutMs - waited) == WAIT_OBJECT_0 + 1;
}

void CSocketDriverCore::PauseReceiving(uint32_t socket, bool paused)
{
    const SocketRecord record = FindSocket(socket);
    if (!record || record->closing)
        return;
    // The flag is read first by the receive thread; the event is what it
    // waits on, so it is reset before the flag is raised and set after the
    // flag is lowered.
    if (paused) {
        ResetEvent(record->receiveAllowed.Get());
        record->receivePaused = true;
    } else {
        record->receivePaused = false;
        SetEvent(record->receiveAllowed.Get());
    }
}

void CSocketDriverCore::PauseAccepting(bool paused)
{
    if (m_acceptAllowed.IsValid()) {
        if (paused)
            ResetEvent(m_acceptAllowed.Get());
        else
            SetEvent(m_acceptAllowed.Get());
    }
}

void CSocketDriverCore::Detach()
{
    SetListener(nullptr);
    if (m_detaching.IsValid())
        SetEvent(m_detaching.Get());
    StopListening();
    std::map<uint32_t, SocketRecord> sockets;
    {
        CAutoLock lock(&m_socketLock);
        sockets.swap(m_sockets);
    }
    for (auto& entry : sockets) {
        entry.second->closing = true;
        SetEvent(entry.second->closeRequested.Get());
    }
    std::vector<tagStartedThread> threads;
    {
        CAutoLock lock(&m_threadLock);
        m_detached = true;
        threads.swap(m_threads);
    }
    WaitForThreads(threads, kThreadEndLimitMs);
}

unsigned long __stdcall CSocketDriverCore::AcceptThread(void* parameter)
{
    std::unique_ptr<tagThreadParameter> own(static_cast<tagThreadParameter*>(parameter));
    own->core->AcceptLoop(own->socket);
    return 0;
}

unsigned long __stdcall CSocketDriverCore::ReceiveThread(void* parameter)
{
    std::unique_ptr<tagThreadParameter> own(static_cast<tagThreadParameter*>(parameter));
    const SocketRecord record = std::static_pointer_cast<CDriverSocket>(own->record);
    own->record.reset();
    own->core->ReceiveLoop(record);
    return 0;
}

unsigned long __stdcall CSocketDriverCore::ConnectThread(void* parameter)
{
    std::unique_ptr<tagThreadParameter> own(static_cast<tagThreadParameter*>(parameter));
    own->core->Connect(own->address.c_str());
    return 0;
}

void CSocketDriverCore::AcceptLoop(SOCKET listenSocket)
{
    // Waiting in select with a short time-out, rather than in accept, lets
    // StopListening end this thread without relying on a close from another
    // thread waking a blocked call.
    while (!m_stopAccepting) {
        // Paused, clients wait in the backlog; the stop flag is still seen.
        if (m_acceptAllowed.IsValid() && WaitForSingleObject(m_acceptAllowed.Get(), kAcceptPollMs) != WAIT_OBJECT_0)
            continue;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listenSocket, &readable);
        timeval wait{0, kAcceptPollMs * 1000};
        const int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready < 0)
            return;
        if (ready == 0 || m_stopAccepting)
            continue;
        const SOCKET accepted = accept(listenSocket, nullptr, nullptr);
        if (accepted == INVALID_SOCKET) {
            // A client that gave up before we took it is no reason to stop.
            if (WSAGetLastError() == WSAECONNRESET)
                continue;
            return;
        }
        SocketRecord record = std::make_shared<CDriverSocket>(accepted);
        record->hasReader = true;
        AddSocket(record);
        NotifyClientAccepted(static_cast<uint32_t>(accepted));
        StartReceiving(record);
    }
}

void CSocketDriverCore::StartReceiving(const SocketRecord& record)
{
    tagThreadParameter* parameter = new tagThreadParameter;
    parameter->core = shared_from_this();
    parameter->record = record;
    if (StartThread(&CSocketDriverCore::ReceiveThread, parameter))
        return;
    EndSocket(record);
}

void CSocketDriverCore::EndSocket(const SocketRecord& record)
{
    const uint32_t number = static_cast<uint32_t>(record->handle.Get());
    record->closing = true;
    {
        CAutoLock lock(&m_socketLock);
        record->ended = true;
    }
    // The peer sees the end now, although the number stays taken.
    shutdown(record->handle.Get(), SD_BOTH);
    if (!NotifySocketClosed(number))
        RemoveSocket(record);
}

void CSocketDriverCore::ReceiveLoop(const SocketRecord& record)
{
    const SOCKET socket = record->handle.Get();
    const uint32_t number = static_cast<uint32_t>(socket);
    std::vector<char> buffer(kReceiveBufferSize);
    Common::CScopedKernelHandle dataReady(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    for (;;) {
        const int count = ReceiveOnce(record, dataReady.Get(), buffer.data(), kReceiveBufferSize);
        if (m_stopping) {
            // Listening stopped: end without a word. A Close asked for
            // already is carried out here; a later one closes it itself.
            CAutoLock lock(&m_socketLock);
            record->hasReader = false;
            if (WaitForSingleObject(record->closeRequested.Get(), 0) == WAIT_OBJECT_0) {
                auto found = m_sockets.find(number);
                if (found != m_sockets.end() && found->second == record)
                    m_sockets.erase(found);
            }
            return;
        }
        if (count <= 0)
            break;
        NotifyDataReceived(number, reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<uint32_t>(count));
        if (m_ownerReads && !HandReadingOver(record))
            break;
    }
    EndSocket(record);
}

int CSocketDriverCore::ReceiveOnce(const SocketRecord& record, HANDLE dataReady, char* buffer, int size)
{
    if (dataReady == nullptr || !record->closeRequested.IsValid() || !record->receiveAllowed.IsValid())
        return -1;
    // A peer that keeps sending always has data waiting, so the receive below
    // would never wait on the close event: look at the request first. While
    // receiving is paused, wait here (a close request still ends the wait).
    if (record->closing)
        return -1;
    if (record->receivePaused) {
        const HANDLE gates[2] = {record->closeRequested.Get(), record->receiveAllowed.Get()};
        if (WaitForMultipleObjects(2, gates, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return -1;
    }
    // One overlapped receive, waited on beside the close event: a receive
    // blocked in recv cannot be woken from another thread everywhere
    // (shutdown does not wake it under every Winsock), but a wait on two
    // events can. What has arrived already it takes at once, as cheaply as a
    // plain read; a plain read tried first would cost a second system call
    // each time nothing is there yet.
    const SOCKET socket = record->handle.Get();
    WSABUF piece;
    piece.len = static_cast<ULONG>(size);
    piece.buf = buffer;
    return RunOverlapped(socket, dataReady, record->closeRequested.Get(),
                         [&](WSAOVERLAPPED* overlapped, DWORD* count, DWORD* flags) {
                             return WSARecv(socket, &piece, 1, count, flags, overlapped, nullptr);
                         });
}

bool CSocketDriverCore::HandReadingOver(const SocketRecord& record)
{
    if (!record->readingReturned.IsValid())
        return true;
    {
        CAutoLock lock(&record->readLock);
        record->handedOver = true;
    }
    {
        CAutoLock lock(&m_handOverLock);
        m_handedOver.push_back(record);
    }
    const HANDLE waits[2] = {record->closeRequested.Get(), record->readingReturned.Get()};
    const bool returned = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
    {
        // Waits for a read of the owner's in progress, whose data must be
        // reported before whatever this thread reports next.
        CAutoLock lock(&record->readLock);
        record->handedOver = false;
    }
    CAutoLock lock(&m_handOverLock);
    m_handedOver.erase(std::find(m_handedOver.begin(), m_handedOver.end(), record));
    return returned;
}

void CSocketDriverCore::ReturnReading(CDriverSocket& record)
{
    record.handedOver = false;
    SetEvent(record.readingReturned.Get());
}

void CSocketDriverCore::ReadArrived()
{
    m_ownerReads = true;
    std::vector<SocketRecord> records;
    {
        CAutoLock lock(&m_handOverLock);
        if (m_handedOver.empty())
            return;
        records = m_handedOver;
    }
    // Kept between calls: this runs on every update of the owner's.
    m_ownerReadBuffer.resize(kReceiveBufferSize);
    char* const buffer = m_ownerReadBuffer.data();
    for (const SocketRecord& record : records) {
        CAutoLock lock(&record->readLock);
        // A full buffer means more is waiting: read on, so that a peer
        // sending steadily is not held to one buffer per update. The
        // owner's queue bound pauses the socket long before the bound here.
        for (int reads = 0; reads < kMaxOwnerReadsPerCall; ++reads) {
            // Paused, it stays unread until resumed; a close request wakes
            // its thread anyway.
            if (!record->handedOver || record->closing || record->receivePaused)
                break;
            const SOCKET socket = record->handle.Get();
            const int count = m_stopping ? -1 : recv(socket, buffer, kReceiveBufferSize, 0);
            if (count > 0) {
                NotifyDataReceived(static_cast<uint32_t>(socket), reinterpret_cast<const uint8_t*>(buffer),
                                   static_cast<uint32_t>(count));
                if (count < kReceiveBufferSize)
                    break;
                continue;
            }
            // Nothing yet, the end of the stream or an error: the receive
            // thread waits for what comes and reports an end itself
            // (listening stopped: it ends quietly).
            ReturnReading(*record);
            break;
        }
    }
}

bool CSocketDriverCore::IsReadingHandedOver(uint32_t socket)
{
    const SocketRecord record = FindSocket(socket);
    if (!record)
        return false;
    {
        CAutoLock lock(&m_handOverLock);
        if (std::find(m_handedOver.begin(), m_handedOver.end(), record) == m_handedOver.end())
            return false;
    }
    // Listed alone is not enough: a read of the owner's that found nothing
    // gives the reading back at once, and the record stays listed until
    // its thread wakes to take it.
    CAutoLock lock(&record->readLock);
    return record->handedOver;
}

void CSocketDriverCore::AddSocket(const SocketRecord& record)
{
    CAutoLock lock(&m_socketLock);
    m_sockets[static_cast<uint32_t>(record->handle.Get())] = record;
}

CSocketDriverCore::SocketRecord CSocketDriverCore::FindSocket(uint32_t socket)
{
    CAutoLock lock(&m_socketLock);
    auto found = m_sockets.find(socket);
    return found == m_sockets.end() ? nullptr : found->second;
}

void CSocketDriverCore::RemoveSocket(const SocketRecord& record)
{
    CAutoLock lock(&m_socketLock);
    auto found = m_sockets.find(static_cast<uint32_t>(record->handle.Get()));
    if (found != m_sockets.end() && found->second == record)
        m_sockets.erase(found);
}

void CSocketDriverCore::NotifyClientAccepted(uint32_t socket)
{
    CAutoLock lock(&m_listenerLock);
    if (m_listener != nullptr)
        m_listener->OnClientAccepted(socket);
}

void CSocketDriverCore::NotifyConnectResult(uint32_t socket, const char* address, bool success)
{
    CAutoLock lock(&m_listenerLock);
    if (m_listener != nullptr)
        m_listener->OnConnectResult(socket, address, success);
}

bool CSocketDriverCore::NotifySocketClosed(uint32_t socket)
{
    CAutoLock lock(&m_listenerLock);
    if (m_listener == nullptr)
        return false;
    m_listener->OnSocketClosed(socket);
    return true;
}

void CSocketDriverCore::NotifyDataReceived(uint32_t socket, const uint8_t* data, uint32_t length)
{
    CAutoLock lock(&m_listenerLock);
    if (m_listener != nullptr)
        m_listener->OnDataReceived(socket, data, length);
}

} // namespace Network
} // namespace RVGameEngine
