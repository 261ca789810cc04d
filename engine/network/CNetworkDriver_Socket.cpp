#include <winsock2.h>

#include "engine/network/CNetworkDriver_Socket.h"

#include <new>

namespace RVGameEngine {
namespace Network {

CNetworkDriver_Socket::CNetworkDriver_Socket(DWORD sendTimeoutMs)
    : m_core(std::make_shared<CSocketDriverCore>(sendTimeoutMs))
{
}

CNetworkDriver_Socket::~CNetworkDriver_Socket()
{
    m_core->Detach();
}

bool CNetworkDriver_Socket::Listen(INetworkDriverListener* listener, const char* address)
{
    Initialize(listener);
    return m_core->Listen(address);
}

bool CNetworkDriver_Socket::Initialize(INetworkDriverListener* listener)
{
    m_core->SetListener(listener);
    return true;
}

void CNetworkDriver_Socket::StopListening()
{
    m_core->StopListening();
}

uint32_t CNetworkDriver_Socket::Connect(const char* address)
{
    return m_core->Connect(address);
}

uint32_t CNetworkDriver_Socket::ConnectAsync(const char* address)
{
    return m_core->ConnectAsync(address) ? 1u : 0u;
}

void CNetworkDriver_Socket::Close(uint32_t socket)
{
    m_core->Close(socket);
}

bool CNetworkDriver_Socket::Send(uint32_t socket, const uint8_t* data, uint32_t length)
{
    return m_core->Send(socket, data, length);
}

void CNetworkDriver_Socket::PauseReceiving(uint32_t socket, bool paused)
{
    m_core->PauseReceiving(socket, paused);
}

void CNetworkDriver_Socket::ReadArrived()
{
    m_core->ReadArrived();
}

void CNetworkDriver_Socket::ReleaseSocket(uint32_t socket)
{
    m_core->ReleaseSocket(socket);
}

void CNetworkDriver_Socket::PauseAccepting(bool paused)
{
    m_core->PauseAccepting(paused);
}

bool CNetworkDriver_Socket::IsReadingHandedOver(uint32_t socket)
{
    return m_core->IsReadingHandedOver(socket);
}

INetworkDriver* INetworkDriver_Socket_Create()
{
    return new (std::nothrow) CNetworkDriver_Socket;
}

} // namespace Network
} // namespace RVGameEngine
