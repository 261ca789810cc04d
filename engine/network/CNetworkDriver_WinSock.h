#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/network/INetworkDriver.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Network {

// The socket transport without threads of its own: its sockets report to a
// hidden frame through a window message, so every listener call happens on
// the thread that runs that frame's messages (the frame manager's loop).
// Send may be called from any thread.
//
// A socket whose close was reported stays open, shut down and asked for no
// more notifications, until its owner gives the number back; it is closed
// only when a message posted then is handled, so every notification Winsock
// queued for it before has been seen (and dropped) by then, and none reaches
// a later socket that the system gives the same number.
class CNetworkDriver_WinSock : public INetworkDriver
{
public:
    // The notification message and the event sets asked for.
    static constexpr UINT kNotifyMessage = DirectUI::kFrameSocketMessage;
    static constexpr long kListenEvents = FD_READ | FD_ACCEPT | FD_CLOSE;
    static constexpr long kConnectionEvents = FD_READ | FD_CLOSE;
    static constexpr long kAsyncConnectEvents = FD_READ | FD_CONNECT | FD_CLOSE;
    static constexpr int kReceiveBufferSize = 41080;
    // How long a send may wait for room in a full send buffer by default.
    static constexpr DWORD kDefaultSendTimeoutMs = 5000;

    explicit CNetworkDriver_WinSock(DWORD sendTimeoutMs = kDefaultSendTimeoutMs);
    ~CNetworkDriver_WinSock() override;

    bool Listen(INetworkDriverListener* listener, const char* address) override;
    bool Initialize(INetworkDriverListener* listener) override;
    void StopListening() override;
    uint32_t Connect(const char* address) override;
    uint32_t ConnectAsync(const char* address) override;
    void Close(uint32_t socket) override;
    bool Send(uint32_t socket, const uint8_t* data, uint32_t length) override;
    void PauseReceiving(uint32_t socket, bool paused) override;
    void ReleaseSocket(uint32_t socket) override;
    void PauseAccepting(bool paused) override;

    // The hidden frame's window (null before Initialize).
    HWND GetWindow() const;

private:
    // One connected, accepted or connecting socket of this driver.
    struct tagOwnedSocket
    {
        // One send at a time on this socket, so that packets never
        // interleave; other sockets' sends do not wait for it.
        Common::CCriticalSection sendLock;
        // Closed or ended: a send waiting for room gives up.
        std::atomic<bool> closing{false};
        // Its close was reported; only its number is kept (under the shared
        // socket lock).
        bool ended = false;
    };
    using OwnedSocket = std::shared_ptr<tagOwnedSocket>;
    // What one read found.
    enum enmReadResult { READ_DATA, READ_NOTHING_YET, READ_PAUSED, READ_ENDED };

    void OnSocketNotify(void* sender, Common::tagEventArgs* args);
    void OnAccept(SOCKET socket, int error);
    void OnConnect(SOCKET socket, int error);
    enmReadResult OnRead(SOCKET socket);
    // Logs and reports the end of a socket whose peer has gone, after its
    // data; nothing while its reading is paused (the end waits for the
    // resume). `error` is the notification's.
    void OnEnded(SOCKET socket, int error);
    void OnClose(SOCKET socket, int error);
    bool Watch(SOCKET socket, long events);
    // Shuts the socket down and stops its notifications; its number stays
    // taken until Forget. Closed at once when nobody listens, since nobody
    // would give it back.
    void EndOwned(SOCKET socket);
    // Closes an ended socket once the notifications queued for it are past.
    void ForgetLater(SOCKET socket);
    void Forget(SOCKET socket);
    void Own(SOCKET socket);
    // The record of a socket of this driver that has not ended.
    OwnedSocket FindLive(SOCKET socket) const;
    bool Owns(SOCKET socket) const;
    // Waits for room to send, for the socket's close, or for the time left.
    bool WaitForRoom(SOCKET socket, const tagOwnedSocket& owned, DWORD limitMs);

    const DWORD m_sendTimeoutMs;
    SOCKET m_listenSocket = INVALID_SOCKET;
    INetworkDriverListener* m_listener = nullptr;
    bool m_stopping = false;
    // Accepting is paused; a client that came meanwhile waits in the
    // backlog, and its notice is asked for again on the resume.
    bool m_acceptPaused = false;
    bool m_acceptDeferred = false;
    Common::TIntrusivePointer<DirectUI::IFrame> m_frame;
    // Addresses of the connects still under way, by socket.
    std::map<SOCKET, std::string> m_pendingAddresses;
    // The sockets this driver made and still holds, ended ones included;
    // notifications for any other socket, or an ended one, are dropped, and
    // sends on them refused. Changed and read by another thread only under
    // the shared socket lock.
    std::map<SOCKET, OwnedSocket> m_sockets;
    // Sockets whose reading the owner paused, and those of them whose peer
    // hung up meanwhile (reported once their data has been read).
    std::set<SOCKET> m_paused;
    std::set<SOCKET> m_closeDeferred;
    std::vector<uint8_t> m_receiveBuffer;
};

// A new window-message socket driver, count 0: hand it to
// INetwork::StartClient or StartServer, which take the reference.
RV_API INetworkDriver* INetworkDriver_WinSock_Create();

} // namespace Network
} // namespace RVGameEngine
