#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/network/INetworkDriverListener.h"

#include <cstdint>

namespace RVGameEngine {
namespace Network {

// "No socket" in the network interfaces.
constexpr uint32_t kInvalidNetworkSocket = 0xFFFFFFFFu;

// A socket transport under the connection manager. An address is a narrow
// text: a host name or dotted IPv4 address, a colon and a decimal port (see
// SocketAddress.h); texts without a colon or longer than 999 characters are
// refused. Sockets are Winsock handles as u32.
class RV_API INetworkDriver : public Common::IReferenceCounted
{
public:
    // Initialize(listener), then listens on the address (backlog 32).
    virtual bool Listen(INetworkDriverListener* listener, const char* address) = 0;
    // Stores the listener. Initialize(nullptr) detaches it: once it returns,
    // no listener call is running or will follow (the manager does this when
    // it is destroyed, since the driver may outlive it).
    virtual bool Initialize(INetworkDriverListener* listener) = 0;
    // Stops accepting; from then on open connections report nothing more.
    virtual void StopListening() = 0;
    // Blocking connect (a few seconds at most); reports OnConnectResult either
    // way unless the address or the socket could not be made at all.
    virtual uint32_t Connect(const char* address) = 0;
    // Starts a connect whose outcome arrives as OnConnectResult; non-zero when
    // the attempt was started. Callers do not rely on the value.
    virtual uint32_t ConnectAsync(const char* address) = 0;
    // Closes one of this driver's sockets; OnSocketClosed follows exactly once.
    // Numbers the driver does not own, and sockets already reported closed,
    // are left alone.
    virtual void Close(uint32_t socket) = 0;
    // True when every byte was sent.
    virtual bool Send(uint32_t socket, const uint8_t* data, uint32_t length) = 0;
    // Stops reading from one of its sockets (true) until asked to go on
    // (false): the owner has more of that peer's data waiting than it wants,
    // and TCP then slows the peer down. Nothing already read is lost, and a
    // close of the peer is reported only after its data.
    virtual void PauseReceiving(uint32_t socket, bool paused) = 0;
    // Reads, on the calling thread, what has already arrived on the sockets
    // whose reading the driver has left to its owner, and reports it before
    // returning: a socket is read until a read comes back short (or the
    // socket is paused), within a bound per call. An owner that calls
    // this regularly (the connection manager does, at the start of Update)
    // lets a driver with receive threads hand reading over after each
    // delivery instead of waking a thread for every small piece; the driver
    // takes it back when nothing is waiting. Drivers that read only on their
    // own do nothing here.
    virtual void ReadArrived() {}
    // Gives back the number of a socket whose close was reported. Until then
    // the driver keeps the ended socket (shut down, acting on nothing), so
    // that the system cannot hand its number to a new connection while the
    // owner may still act on the old one: its events reported before the
    // close are raised later, and their handlers close or answer "their"
    // socket by number. An owner that never gives a number back leaves the
    // ended socket to the driver's destruction.
    virtual void ReleaseSocket(uint32_t socket) = 0;
    // Stops taking new clients on the listening socket (true) until asked to
    // go on (false); they wait in the system's backlog meanwhile.
    virtual void PauseAccepting(bool paused) = 0;
};

// A new threaded socket driver (CNetworkDriver_Socket), count 0: hand it to
// INetwork::StartClient or StartServer, which take the reference.
RV_API INetworkDriver* INetworkDriver_Socket_Create();

} // namespace Network
} // namespace RVGameEngine
