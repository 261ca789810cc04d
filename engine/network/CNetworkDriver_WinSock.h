#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/network/INetworkDriver.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Network {

// The socket transport without threads of its own: its sockets report to a
// hidden frame through a window message, so every listener call happens on
// the thread that runs that frame's messages (the frame manager's loop).
// Send may be called from any thread.
class CNetworkDriver_WinSock : public INetworkDriver
{
public:
    // The notification message and the event sets asked for.
    static constexpr UINT kNotifyMessage = DirectUI::kFrameSocketMessage;
    static constexpr long kListenEvents = FD_READ | FD_ACCEPT | FD_CLOSE;
    static constexpr long kConnectionEvents = FD_READ | FD_CLOSE;
    static constexpr long kAsyncConnectEvents = FD_READ | FD_CONNECT | FD_CLOSE;
    static constexpr int kReceiveBufferSize = 41080;

    CNetworkDriver_WinSock();
    ~CNetworkDriver_WinSock() override;

    bool Listen(INetworkDriverListener* listener, const char* address) override;
    bool Initialize(INetworkDriverListener* listener) override;
    void StopListening() override;
    uint32_t Connect(const char* address) override;
    uint32_t ConnectAsync(const char* address) override;
    void Close(uint32_t socket) override;
    bool Send(uint32_t socket, const uint8_t* data, uint32_t length) override;
    void PauseReceiving(uint32_t socket, bool paused) override;

    // The hidden frame's window (null before Initialize).
    HWND GetWindow() const;

private:
    void OnSocketNotify(void* sender, Common::tagEventArgs* args);
    void OnAccept(SOCKET socket, int error);
    void OnConnect(SOCKET socket, int error);
    // Reads once; true when the peer may have more (something came).
    bool OnRead(SOCKET socket);
    void OnClose(SOCKET socket, int error);
    bool Watch(SOCKET socket, long events);
    void CloseOwned(SOCKET socket);
    void Own(SOCKET socket);
    bool Owns(SOCKET socket) const;

    SOCKET m_listenSocket = INVALID_SOCKET;
    INetworkDriverListener* m_listener = nullptr;
    bool m_stopping = false;
    Common::TIntrusivePointer<DirectUI::IFrame> m_frame;
    // Addresses of the connects still under way, by socket.
    std::map<SOCKET, std::string> m_pendingAddresses;
    // The connected and accepted sockets this driver made and still owns;
    // notifications for any other socket (one already closed) are dropped,
    // and sends on any other socket refused. Changed and read by another
    // thread only under the shared socket lock.
    std::set<SOCKET> m_sockets;
    // Sockets whose reading the owner paused, and those of them whose peer
    // hung up meanwhile (reported once their data has been read).
    std::set<SOCKET> m_paused;
    std::set<SOCKET> m_closeDeferred;
    std::vector<uint8_t> m_receiveBuffer;
    Common::CCriticalSection m_sendLock;
};

// A new window-message socket driver, count 0: hand it to
// INetwork::StartClient or StartServer, which take the reference.
RV_API INetworkDriver* INetworkDriver_WinSock_Create();

} // namespace Network
} // namespace RVGameEngine
