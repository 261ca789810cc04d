#include "installer/core/reporting/CServerConnection.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/base/TextCodec.h"
#include "engine/common/base/TimeFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/network/NetworkEventArgs.h"

#include <cstdio>

using RVGameEngine::Common::GetTimeMs;
using RVGameEngine::Common::kCodePageAnsi;
using RVGameEngine::Common::LoggableText;
using RVGameEngine::Common::NarrowToWide;
using RVGameEngine::Common::tagEventArgs;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_TRACE;
using namespace RVGameEngine::Network;

namespace {

// The server's socket-detect probe, answered with the same empty message.
constexpr uint16_t kCoreMainCommand = 0;
constexpr uint16_t kDetectSocketSubCommand = 1;

uint32_t Now()
{
    return static_cast<uint32_t>(GetTimeMs());
}

} // namespace

std::string FormatIPv4Address(uint32_t address, uint16_t port)
{
    char text[32];
    snprintf(text, sizeof text, "%d.%d.%d.%d:%d", static_cast<int>(address & 0xFF),
             static_cast<int>((address >> 8) & 0xFF), static_cast<int>((address >> 16) & 0xFF),
             static_cast<int>((address >> 24) & 0xFF), static_cast<int>(port));
    return text;
}

CServerConnection::CServerConnection(const char* listenAddress)
    : m_network(INetwork_Create()), m_lastActivity(Now())
{
    if (m_network) {
        if (listenAddress == nullptr) {
            m_started = m_network->StartClient(INetworkDriver_Socket_Create());
        } else {
            m_serverAddress = listenAddress;
            m_started = m_network->StartServer(INetworkDriver_Socket_Create(), listenAddress);
        }
        m_network->AddMemberFunctionDelegate(NETWORK_EVENT_CLIENT_ACCEPTED, this,
                                             &CServerConnection::OnNetworkClientAccepted);
        m_network->AddMemberFunctionDelegate(NETWORK_EVENT_CONNECT_RESULT, this,
                                             &CServerConnection::OnNetworkConnectResult);
        m_network->AddMemberFunctionDelegate(NETWORK_EVENT_SOCKET_CLOSED, this,
                                             &CServerConnection::OnNetworkSocketClosed);
        m_network->AddMemberFunctionDelegate(NETWORK_EVENT_DATA_RECEIVED, this,
                                             &CServerConnection::OnNetworkDataReceived);
    }
}

CServerConnection::~CServerConnection()
{
    if (m_network) {
        m_network->RemoveObjectDelegates(this);
        if (m_socket != kInvalidNetworkSocket)
            m_network->Close(m_socket);
    }
}

bool CServerConnection::IsStarted()
{
    return m_started;
}

std::string CServerConnection::GetServerAddress()
{
    return m_serverAddress;
}

bool CServerConnection::OpenIPv4(uint32_t address, uint16_t port)
{
    return Open(FormatIPv4Address(address, port).c_str());
}

bool CServerConnection::Open(const char* address)
{
    Close();
    if (!m_network)
        return false;
    m_socket = m_network->Connect(address);
    if (m_socket == kInvalidNetworkSocket)
        return false;
    m_lastActivity = Now();
    m_closeRequested = 0;
    return true;
}

void CServerConnection::ConnectIPv4(uint32_t address, uint16_t port, bool kindFromCheck)
{
    m_kindFromCheck = kindFromCheck;
    Connect(FormatIPv4Address(address, port).c_str());
}

void CServerConnection::Connect(const char* address)
{
    Close();
    if (m_network)
        m_network->ConnectAsync(address);
    m_lastActivity = Now();
    m_closeRequested = 0;
}

void CServerConnection::Close()
{
    if (m_socket == kInvalidNetworkSocket)
        return;
    m_network->Close(m_socket);
    m_socket = kInvalidNetworkSocket;
}

bool CServerConnection::IsDisconnected()
{
    return m_socket == kInvalidNetworkSocket;
}

void CServerConnection::Update()
{
    // Its events reach handlers that may drop the last reference to this
    // connection ("drop it once it closes"): it stays alive until the
    // dispatch, and its own work after each handler, is over.
    RVGameEngine::Common::CKeepAlive keepAlive(this);
    if (m_network)
        m_network->Update();
}

bool CServerConnection::SendMessage(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                                    uint16_t size)
{
    if (socket == kInvalidNetworkSocket || !m_network)
        return false;
    if (m_logging)
        LogMessage(true, socket, mainCommand, subCommand, data, size);
    const bool sent = m_network->SendPacket(socket, mainCommand, subCommand, data, size, m_kindFromCheck);
    if (sent)
        m_lastActivity = Now();
    return sent;
}

bool CServerConnection::OnMessageReceived(uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                          const uint8_t* data, uint32_t size)
{
    if (m_logging)
        LogMessage(false, socket, mainCommand, subCommand, data, size);
    return false;
}

void CServerConnection::LogWrapper(bool sent, uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                   const uint8_t* data, uint32_t size)
{
    LogMessage(sent, socket, mainCommand, subCommand, data, size);
}

void CServerConnection::GetCommandNames(uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                        std::string* peerName, std::string* mainName, std::string* subName)
{
    *peerName = std::to_string(socket);
    *mainName = std::to_string(mainCommand);
    *subName = std::to_string(subCommand);
}

void CServerConnection::OnClientSocketAccepted(uint32_t)
{
}

void CServerConnection::OnConnectionClosed(uint32_t)
{
}

void CServerConnection::CheckTimeout(uint32_t limitMs)
{
    if (!IsDisconnected() && Now() - m_lastActivity > limitMs)
        RequestClose();
}

void CServerConnection::EnableLogging(bool)
{
    m_logging = true;
}

void CServerConnection::RequestClose()
{
    if (m_closeRequested != 0)
        return;
    if (m_socket != kInvalidNetworkSocket)
        m_network->Close(m_socket);
    m_closeRequested = 1;
}

void CServerConnection::LogMessage(bool sent, uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                   const uint8_t*, uint32_t size)
{
    std::string peer, mainName, subName;
    GetCommandNames(socket, mainCommand, subCommand, &peer, &mainName, &subName);
    const std::wstring widePeer = NarrowToWide(kCodePageAnsi, peer.c_str());
    const std::wstring wideMain = NarrowToWide(kCodePageAnsi, mainName.c_str());
    const std::wstring wideSub = NarrowToWide(kCodePageAnsi, subName.c_str());
    ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE,
                                sent ? L"向%s发送 主命令=%s 子命令=%s 大小=%d" : L"从%s接收 主命令=%s 子命令=%s 大小=%d",
                                widePeer.c_str(), wideMain.c_str(), wideSub.c_str(), static_cast<int>(size));
}

void CServerConnection::OnNetworkClientAccepted(void*, tagEventArgs* args)
{
    const uint32_t socket = static_cast<tagNetworkClientAcceptedEventArgs*>(args)->socket;
    ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"检测到客户端连接,套接字%d", static_cast<int>(socket));
    OnClientSocketAccepted(socket);
    tagServerConnectionClientAcceptedEventArgs accepted;
    accepted.socket = socket;
    Fire(SERVER_CONNECTION_EVENT_CLIENT_ACCEPTED, this, &accepted);
}

void CServerConnection::OnNetworkConnectResult(void*, tagEventArgs* args)
{
    const auto* result = static_cast<tagNetworkConnectServerResultEventArgs*>(args);
    // The address may come from a resolver's answer.
    const std::wstring address = LoggableText(NarrowToWide(kCodePageAnsi, result->address));
    tagEventArgs plain;
    if (!result->success) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"连接服务器%s失败", address.c_str());
        Fire(SERVER_CONNECTION_EVENT_CONNECT_FAILED, this, &plain);
        return;
    }
    ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"连接服务器%s成功,套接字%d", address.c_str(),
                                static_cast<int>(result->socket));
    m_lastActivity = Now();
    m_closeRequested = 0;
    m_socket = result->socket;
    Fire(SERVER_CONNECTION_EVENT_CONNECTED, this, &plain);
}

void CServerConnection::OnNetworkSocketClosed(void*, tagEventArgs* args)
{
    const uint32_t socket = static_cast<tagNetworkSocketClosedEventArgs*>(args)->socket;
    ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"与%d的连接断开", static_cast<int>(socket));
    if (socket == m_socket) {
        m_socket = kInvalidNetworkSocket;
        tagEventArgs plain;
        Fire(SERVER_CONNECTION_EVENT_CLOSED, this, &plain);
    }
    OnConnectionClosed(socket);
}

void CServerConnection::OnNetworkDataReceived(void*, tagEventArgs* args)
{
    const auto* received = static_cast<tagNetworkDataReceivedEventArgs*>(args);
    if (received->socket == m_socket && m_socket != kInvalidNetworkSocket) {
        m_lastActivity = Now();
        if (received->mainCommand == kCoreMainCommand && received->subCommand == kDetectSocketSubCommand) {
            SendMessage(received->socket, kCoreMainCommand, kDetectSocketSubCommand, nullptr, 0);
            return;
        }
    }
    OnMessageReceived(received->socket, received->mainCommand, received->subCommand, received->data,
                      received->length);
}
