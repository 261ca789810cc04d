#pragma once

// <windows.h> first: it renames SendMessage, and every file that sees this
// class must see the same member name.
#include <windows.h>

#include "installer/core/reporting/ServerConnectionEventArgs.h"

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/network/INetwork.h"

#include <cstdint>
#include <string>

// One message connection for the installer over its own connection manager
// and threaded socket driver. It answers the server's socket-detect probe by
// itself, logs what it sends and receives (once logging is on) and turns the
// manager's events into its own (enmServerConnectionEvent). Events arrive
// only from Update, on the thread that calls it; nothing here is locked.
class CServerConnection : public RVGameEngine::Common::CEventDelegateManager
{
public:
    // A client without an address; with one, a server listening there.
    explicit CServerConnection(const char* listenAddress = nullptr);
    ~CServerConnection() override;

    virtual bool IsStarted();
    virtual std::string GetServerAddress();
    // The address word's lowest byte is the first number of the text.
    virtual bool OpenIPv4(uint32_t address, uint16_t port);
    // Blocking connect; true when a socket was obtained.
    virtual bool Open(const char* address);
    virtual void ConnectIPv4(uint32_t address, uint16_t port, bool kindFromCheck);
    // Starts a connect; the outcome arrives through Update as event 0 or 1.
    virtual void Connect(const char* address);
    virtual void Close();
    virtual bool IsDisconnected();
    virtual void Update();
    virtual bool SendMessage(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                             uint16_t size);
    // True when the message was taken care of.
    virtual bool OnMessageReceived(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                                   uint32_t size);
    virtual void LogWrapper(bool sent, uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                            const uint8_t* data, uint32_t size);
    // Narrow names of the peer and the commands for the log lines.
    virtual void GetCommandNames(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, std::string* peerName,
                                 std::string* mainName, std::string* subName);
    virtual void OnClientSocketAccepted(uint32_t socket);
    virtual void OnConnectionClosed(uint32_t socket);
    // Asks to close a connection silent for longer than the limit.
    virtual void CheckTimeout(uint32_t limitMs);
    virtual void EnableLogging(bool enable);
    // Closes the socket once; the closed event follows through Update.
    virtual void RequestClose();
    virtual void LogMessage(bool sent, uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                            const uint8_t* data, uint32_t size);

    uint32_t GetSocket() const { return m_socket; }

private:
    void OnNetworkClientAccepted(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnNetworkConnectResult(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnNetworkSocketClosed(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnNetworkDataReceived(void* sender, RVGameEngine::Common::tagEventArgs* args);

    std::string m_serverAddress;
    bool m_started = false;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Network::INetwork> m_network;
    uint32_t m_socket = RVGameEngine::Network::kInvalidNetworkSocket;
    uint32_t m_lastActivity = 0;
    uint32_t m_closeRequested = 0;
    bool m_logging = false;
    bool m_kindFromCheck = false;
};

// "a.b.c.d:port" with the address word's lowest byte first.
std::string FormatIPv4Address(uint32_t address, uint16_t port);
