#include <winsock2.h>

#include "engine/common/system/SocketFunctions.h"

namespace RVGameEngine {
namespace Common {

namespace {

bool SetBlocking(SOCKET socket, bool blocking)
{
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

// 0 when the socket's last asynchronous operation succeeded.
int PendingError(SOCKET socket)
{
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return WSAGetLastError();
    return error;
}

} // namespace

bool ConnectSocketWithTimeout(SOCKET socket, const sockaddr_in& address, uint32_t timeoutMs)
{
    if (socket == INVALID_SOCKET || !SetBlocking(socket, false))
        return false;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0
        && WSAGetLastError() != WSAEWOULDBLOCK)
        return false;

    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval wait;
    wait.tv_sec = static_cast<long>(timeoutMs / 1000);
    wait.tv_usec = static_cast<long>((timeoutMs % 1000) * 1000);
    if (select(0, nullptr, &writable, &failed, &wait) <= 0)
        return false;
    if (FD_ISSET(socket, &failed) || !FD_ISSET(socket, &writable) || PendingError(socket) != 0)
        return false;
    return SetBlocking(socket, true);
}

bool SendAllBytes(SOCKET socket, const void* data, uint32_t length)
{
    const char* next = static_cast<const char*>(data);
    while (length > 0) {
        const int chunk = length > 0x40000000u ? 0x40000000 : static_cast<int>(length);
        const int sent = send(socket, next, chunk, 0);
        if (sent == SOCKET_ERROR || sent <= 0)
            return false;
        next += sent;
        length -= static_cast<uint32_t>(sent);
    }
    return true;
}

bool SetSocketTimeouts(SOCKET socket, uint32_t sendTimeoutMs, uint32_t receiveTimeoutMs)
{
    const DWORD sendTimeout = sendTimeoutMs;
    const DWORD receiveTimeout = receiveTimeoutMs;
    return setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
                      sizeof(sendTimeout)) == 0
        && setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
                      sizeof(receiveTimeout)) == 0;
}

} // namespace Common
} // namespace RVGameEngine
