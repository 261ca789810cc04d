#include <winsock2.h>

#include "engine/network/CNetworkDriver_WinSock.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/SocketFunctions.h"
#include "engine/directui/frame/FrameEvents.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/network/SocketAddress.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace Network {

namespace {

constexpr uint32_t kConnectTimeoutMs = 3000;
constexpr uint32_t kAsyncSocketTimeoutMs = 100000;
constexpr int kAsyncSocketBufferBytes = 65536;
constexpr int kListenBacklog = 32;
// How often a send waiting for room looks whether its socket was closed.
constexpr DWORD kSendRoomPollMs = 20;
// The error word of the driver's own notification that an ended socket's
// number may go (Winsock never posts one without event bits).
constexpr int kReleaseNotification = 0xFFFF;
// Reads of data still waiting when the peer's close is reported; far more than
// the socket's buffers can hold.
constexpr int kMaxReadsBeforeClose = 1024;

// One lock for every driver of this kind: every send and receive runs under
// it, and so does every change to a driver's socket set, which a send on
// another thread reads.
Common::CCriticalSection& SharedSocketLock()
{
    static Common::CCriticalSection lock;
    return lock;
}

// Whether the socket can take more bytes within the time (a select error
// counts as room: the send that follows reports it).
bool WaitWritable(SOCKET socket, DWORD timeoutMs)
{
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(socket, &writable);
    timeval wait;
    wait.tv_sec = static_cast<long>(timeoutMs / 1000);
    wait.tv_usec = static_cast<long>((timeoutMs % 1000) * 1000);
    return select(0, nullptr, &writable, nullptr, &wait) != 0;
}

void SetAsyncConnectOptions(SOCKET socket)
{
    const int bufferBytes = kAsyncSocketBufferBytes;
    setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof(bufferBytes));
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof(bufferBytes));
    Common::SetSocketTimeouts(socket, kAsyncSocketTimeoutMs, kAsyncSocketTimeoutMs);
}

} // namespace

CNetworkDriver_WinSock::CNetworkDriver_WinSock(DWORD sendTimeoutMs)
    : m_sendTimeoutMs(sendTimeoutMs), m_receiveBuffer(kReceiveBufferSize)
{
}

CNetworkDriver_WinSock::~CNetworkDriver_WinSock()
{
    if (m_frame)
        m_frame->RemoveObjectDelegates(this);
    m_listener = nullptr;
    StopListening();
    {
        Common::CAutoLock lock(&SharedSocketLock());
        for (auto& entry : m_sockets) {
            entry.second->closing = true;
            closesocket(entry.first);
        }
        m_sockets.clear();
    }
    if (m_frame)
        m_frame->Destroy();
}

bool CNetworkDriver_WinSock::Initialize(INetworkDriverListener* listener)
{
    m_listener = listener;
    // One window for the driver's whole life: its sockets report to it.
    if (!m_frame) {
        m_frame = DirectUI::IFrame_Create();
        if (!m_frame)
            return false;
        m_frame->Create(GetDesktopWindow(), WS_CHILD, 0);
        m_frame->Hide();
        m_frame->AddMemberFunctionDelegate<CNetworkDriver_WinSock>(DirectUI::FRAME_EVENT_SOCKET_NOTIFY, this,
                                                                   &CNetworkDriver_WinSock::OnSocketNotify);
    }
    return GetWindow() != nullptr;
}

HWND CNetworkDriver_WinSock::GetWindow() const
{
    return m_frame ? m_frame->GetHandle() : nullptr;
}

bool CNetworkDriver_WinSock::Watch(SOCKET socket, long events)
{
    return GetWindow() != nullptr && WSAAsyncSelect(socket, GetWindow(), kNotifyMessage, events) == 0;
}

bool CNetworkDriver_WinSock::Listen(INetworkDriverListener* listener, const char* address)
{
    if (!Initialize(listener))
        return false;
    sockaddr_in resolved;
    if (!ResolveSocketAddress(address, &resolved))
        return false;
    StopListening();
    Common::CScopedSocket listening(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listening)
        return false;
    if (!Watch(listening.Get(), kListenEvents)
        || bind(listening.Get(), reinterpret_cast<const sockaddr*>(&resolved), sizeof(resolved)) != 0
        || listen(listening.Get(), kListenBacklog) != 0)
        return false;
    m_listenSocket = listening.Release();
    m_stopping = false;
    return true;
}

void CNetworkDriver_WinSock::StopListening()
{
    if (m_listenSocket != INVALID_SOCKET) {
        closesocket(m_listenSocket);
        m_listenSocket = INVALID_SOCKET;
    }
    m_stopping = true;
}

uint32_t CNetworkDriver_WinSock::Connect(const char* address)
{
    sockaddr_in resolved;
    if (!ResolveSocketAddress(address, &resolved))
        return kInvalidNetworkSocket;
    Common::CScopedSocket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!connection)
        return kInvalidNetworkSocket;
    const uint32_t number = static_cast<uint32_t>(connection.Get());
    // Notifications are asked for once the connect is through (the socket then
    // stays non-blocking); data that came before is reported at once.
    if (!Common::ConnectSocketWithTimeout(connection.Get(), resolved, kConnectTimeoutMs)
        || !Watch(connection.Get(), kConnectionEvents)) {
        // Reported while the number is still this socket's.
        if (m_listener != nullptr)
            m_listener->OnConnectResult(number, address, false);
        return kInvalidNetworkSocket;
    }
    Own(connection.Release());
    if (m_listener != nullptr)
        m_listener->OnConnectResult(number, address, true);
    return number;
}

uint32_t CNetworkDriver_WinSock::ConnectAsync(const char* address)
{
    sockaddr_in resolved;
    if (!ResolveSocketAddress(address, &resolved))
        return 0;
    Common::CScopedSocket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!connection)
        return 0;
    SetAsyncConnectOptions(connection.Get());
    const bool started =
        Watch(connection.Get(), kAsyncConnectEvents)
        && (connect(connection.Get(), reinterpret_cast<const sockaddr*>(&resolved), sizeof(resolved)) == 0
            || WSAGetLastError() == WSAEWOULDBLOCK);
    if (!started) {
        connection.Close();
        if (m_listener != nullptr)
            m_listener->OnConnectResult(kInvalidNetworkSocket, address, false);
        return 0;
    }
    const SOCKET socket = connection.Release();
    Own(socket);
    // Kept per socket, so that connects under way at the same time each
    // report their own address.
    Common::CAutoLock lock(&SharedSocketLock());
    m_pendingAddresses[socket] = address;
    return 1;
}

void CNetworkDriver_WinSock::Close(uint32_t socket)
{
    const SOCKET owned = static_cast<SOCKET>(socket);
    if (!Owns(owned))
        return;
    EndOwned(owned);
    if (m_listener != nullptr)
        m_listener->OnSocketClosed(socket);
}

void CNetworkDriver_WinSock::ReleaseSocket(uint32_t socket)
{
    const SOCKET ended = static_cast<SOCKET>(socket);
    {
        Common::CAutoLock lock(&SharedSocketLock());
        auto found = m_sockets.find(ended);
        if (found == m_sockets.end() || !found->second->ended)
            return;
    }
    ForgetLater(ended);
}

void CNetworkDriver_WinSock::EndOwned(SOCKET socket)
{
    {
        Common::CAutoLock lock(&SharedSocketLock());
        auto found = m_sockets.find(socket);
        if (found == m_sockets.end() || found->second->ended)
            return;
        found->second->ended = true;
        found->second->closing = true;
        m_pendingAddresses.erase(socket);
        m_paused.erase(socket);
        m_closeDeferred.erase(socket);
        // Winsock posts nothing more for it; what it posted already is
        // dropped when it comes.
        if (GetWindow() != nullptr)
            WSAAsyncSelect(socket, GetWindow(), 0, 0);
        shutdown(socket, SD_BOTH);
    }
    if (m_listener == nullptr)
        ForgetLater(socket);
}

void CNetworkDriver_WinSock::ForgetLater(SOCKET socket)
{
    // Posted behind every notification Winsock queued for the socket before
    // it was ended; handled, it closes the socket.
    if (GetWindow() == nullptr
        || !PostMessageW(GetWindow(), kNotifyMessage, static_cast<WPARAM>(socket),
                         WSAMAKESELECTREPLY(0, kReleaseNotification)))
        Forget(socket);
}

void CNetworkDriver_WinSock::Forget(SOCKET socket)
{
    Common::CAutoLock lock(&SharedSocketLock());
    auto found = m_sockets.find(socket);
    if (found == m_sockets.end() || !found->second->ended)
        return;
    m_sockets.erase(found);
    closesocket(socket);
}

void CNetworkDriver_WinSock::Own(SOCKET socket)
{
    OwnedSocket owned = std::make_shared<tagOwnedSocket>();
    Common::CAutoLock lock(&SharedSocketLock());
    m_sockets[socket] = std::move(owned);
}

CNetworkDriver_WinSock::OwnedSocket CNetworkDriver_WinSock::FindLive(SOCKET socket) const
{
    Common::CAutoLock lock(&SharedSocketLock());
    auto found = m_sockets.find(socket);
    return found == m_sockets.end() || found->second->ended ? nullptr : found->second;
}

bool CNetworkDriver_WinSock::Owns(SOCKET socket) const
{
    return FindLive(socket) != nullptr;
}

bool CNetworkDriver_WinSock::Send(uint32_t socket, const uint8_t* data, uint32_t length)
{
    if (data == nullptr && length > 0)
        return false;
    // Only on a socket of ours: a number the owner still holds may belong to
    // someone else's connection by now.
    const OwnedSocket owned = FindLive(static_cast<SOCKET>(socket));
    if (!owned)
        return false;
    // Whole sends one after another on this socket: another thread's bytes
    // must not land between the parts of a packet.
    Common::CAutoLock sending(&owned->sendLock);
    const DWORD start = GetTickCount();
    uint32_t sent = 0;
    // A non-blocking socket may take only part of the bytes, or none while
    // its buffer is full: the rest goes as soon as there is room again.
    while (sent < length) {
        int count = 0;
        int error = 0;
        {
            Common::CAutoLock lock(&SharedSocketLock());
            if (owned->closing)
                return false;
            count = send(static_cast<SOCKET>(socket), reinterpret_cast<const char*>(data + sent),
                         static_cast<int>(length - sent), 0);
            if (count == SOCKET_ERROR)
                error = WSAGetLastError();
        }
        if (count > 0) {
            sent += static_cast<uint32_t>(count);
            continue;
        }
        const DWORD waited = GetTickCount() - start;
        if (error != WSAEWOULDBLOCK || waited >= m_sendTimeoutMs
            || !WaitForRoom(static_cast<SOCKET>(socket), *owned, m_sendTimeoutMs - waited)) {
            // Part of the bytes went: nothing may follow them on the wire.
            Common::CAutoLock lock(&SharedSocketLock());
            if (sent > 0 && !owned->closing)
                shutdown(static_cast<SOCKET>(socket), SD_SEND);
            return false;
        }
    }
    return true;
}

bool CNetworkDriver_WinSock::WaitForRoom(SOCKET socket, const tagOwnedSocket& owned, DWORD limitMs)
{
    // The socket is registered for window messages, so no event can signal
    // room here; short looks let a close end the wait soon.
    const DWORD start = GetTickCount();
    for (;;) {
        if (owned.closing)
            return false;
        const DWORD waited = GetTickCount() - start;
        if (waited >= limitMs)
            return false;
        if (WaitWritable(socket, std::min(kSendRoomPollMs, limitMs - waited)))
            return true;
    }
}

void CNetworkDriver_WinSock::PauseReceiving(uint32_t socket, bool paused)
{
    const SOCKET owned = static_cast<SOCKET>(socket);
    bool closed = false;
    {
        Common::CAutoLock lock(&SharedSocketLock());
        auto found = m_sockets.find(owned);
        if (found == m_sockets.end() || found->second->ended)
            return;
        if (paused) {
            m_paused.insert(owned);
            return;
        }
        if (m_paused.erase(owned) == 0)
            return;
        closed = m_closeDeferred.erase(owned) != 0;
    }
    // A read notification that came while paused was answered without a
    // read, and Winsock sends no other until one is made: ask for it again.
    if (GetWindow() != nullptr) {
        PostMessageW(GetWindow(), kNotifyMessage, static_cast<WPARAM>(owned), WSAMAKESELECTREPLY(FD_READ, 0));
        if (closed)
            PostMessageW(GetWindow(), kNotifyMessage, static_cast<WPARAM>(owned), WSAMAKESELECTREPLY(FD_CLOSE, 0));
    }
}

void CNetworkDriver_WinSock::OnSocketNotify(void*, Common::tagEventArgs* args)
{
    // A listener may drop the last reference to this driver.
    Common::CKeepAlive keepAlive(this);
    const auto* notification = static_cast<DirectUI::tagFrameAnyMsgEventArgs*>(args);
    const SOCKET socket = static_cast<SOCKET>(notification->wParam);
    const int events = WSAGETSELECTEVENT(notification->lParam);
    const int error = WSAGETSELECTERROR(notification->lParam);
    if (events == 0) {
        if (error == kReleaseNotification)
            Forget(socket);
        return;
    }
    if (socket == m_listenSocket) {
        if ((events & FD_ACCEPT) != 0)
            OnAccept(socket, error);
        return;
    }
    // A notification may still be queued for a socket that was closed since.
    auto owned = [this, socket] { return Owns(socket); };
    if (!owned())
        return;
    if ((events & FD_CONNECT) != 0)
        OnConnect(socket, error);
    if ((events & FD_READ) != 0 && owned() && OnRead(socket) == READ_ENDED)
        OnEnded(socket, error);
    if ((events & FD_CLOSE) != 0 && owned())
        OnClose(socket, error);
}

void CNetworkDriver_WinSock::PauseAccepting(bool paused)
{
    m_acceptPaused = paused;
    // Winsock sends no other accept notice until one is accepted.
    if (!paused && m_acceptDeferred && m_listenSocket != INVALID_SOCKET && GetWindow() != nullptr) {
        m_acceptDeferred = false;
        PostMessageW(GetWindow(), kNotifyMessage, static_cast<WPARAM>(m_listenSocket),
                     WSAMAKESELECTREPLY(FD_ACCEPT, 0));
    }
}

void CNetworkDriver_WinSock::OnAccept(SOCKET socket, int error)
{
    if (error != 0) {
        StopListening();
        return;
    }
    if (m_acceptPaused) {
        m_acceptDeferred = true;
        return;
    }
    const SOCKET accepted = accept(socket, nullptr, nullptr);
    if (accepted == INVALID_SOCKET)
        return;
    if (!Watch(accepted, kConnectionEvents)) {
        closesocket(accepted);
        return;
    }
    Own(accepted);
    if (m_listener != nullptr)
        m_listener->OnClientAccepted(static_cast<uint32_t>(accepted));
}

void CNetworkDriver_WinSock::OnConnect(SOCKET socket, int error)
{
    std::string address;
    {
        Common::CAutoLock lock(&SharedSocketLock());
        auto pending = m_pendingAddresses.find(socket);
        // Only a connect under way has an outcome to report; a connected
        // socket is not torn down by a stray connect notification.
        if (pending == m_pendingAddresses.end())
            return;
        address = pending->second;
        m_pendingAddresses.erase(pending);
    }
    // Reported while the number is still this socket's; a failed one then
    // goes once whatever Winsock still queued for it is past.
    if (m_listener != nullptr)
        m_listener->OnConnectResult(static_cast<uint32_t>(socket), address.c_str(), error == 0);
    if (error != 0 && Owns(socket)) {
        const bool forgottenAlready = m_listener == nullptr;
        EndOwned(socket);
        if (!forgottenAlready)
            ForgetLater(socket);
    }
}

CNetworkDriver_WinSock::enmReadResult CNetworkDriver_WinSock::OnRead(SOCKET socket)
{
    int count = 0;
    int error = 0;
    {
        Common::CAutoLock lock(&SharedSocketLock());
        if (m_paused.count(socket) != 0)
            return READ_PAUSED;
        count = recv(socket, reinterpret_cast<char*>(m_receiveBuffer.data()), kReceiveBufferSize, 0);
        if (count == SOCKET_ERROR)
            error = WSAGetLastError();
    }
    if (count == SOCKET_ERROR)
        return error == WSAEWOULDBLOCK ? READ_NOTHING_YET : READ_ENDED;
    if (count == 0)
        return READ_ENDED;
    if (m_listener != nullptr)
        m_listener->OnDataReceived(static_cast<uint32_t>(socket), m_receiveBuffer.data(),
                                   static_cast<uint32_t>(count));
    return READ_DATA;
}

void CNetworkDriver_WinSock::OnClose(SOCKET socket, int error)
{
    // What the peer sent before it hung up may not have been read yet: it is
    // delivered before the close.
    enmReadResult last = READ_DATA;
    for (int reads = 0; reads < kMaxReadsBeforeClose && last == READ_DATA && Owns(socket); ++reads)
        last = OnRead(socket);
    // Only a socket that has really ended is closed: a close notice whose
    // socket still has its peer (one left from before, or one posted ahead
    // of the end) changes nothing; the real end is seen when it comes.
    if (last == READ_ENDED || last == READ_PAUSED)
        OnEnded(socket, error);
}

void CNetworkDriver_WinSock::OnEnded(SOCKET socket, int error)
{
    // A handler may have closed it meanwhile, which reported the close.
    if (!Owns(socket))
        return;
    {
        // Reading was paused with data still waiting: the close follows it.
        Common::CAutoLock lock(&SharedSocketLock());
        if (m_paused.count(socket) != 0) {
            m_closeDeferred.insert(socket);
            return;
        }
    }
    if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
        log->Log(FileSystem::LOG_LEVEL_TRACE,
                 L"OnSocketNotify_Close() wSelectError=%d WSAGetLastError()=%d GetLastError()=%d ", error,
                 WSAGetLastError(), static_cast<int>(GetLastError()));
    // The owner hears of the close once and gives the number back.
    EndOwned(socket);
    if (m_listener != nullptr)
        m_listener->OnSocketClosed(static_cast<uint32_t>(socket));
}

INetworkDriver* INetworkDriver_WinSock_Create()
{
    return new (std::nothrow) CNetworkDriver_WinSock;
}

} // namespace Network
} // namespace RVGameEngine
