#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Connects a fresh TCP socket without letting the attempt block for longer
// than `timeoutMs`: non-blocking connect, then a wait for the outcome. Only a
// connect that really completed counts: a refused or failed attempt (which
// Winsock reports through the exception set, or as writable with a pending
// error) is a failure. On success the socket is back in blocking mode.
RV_API bool ConnectSocketWithTimeout(SOCKET socket, const sockaddr_in& address, uint32_t timeoutMs);

// Sends every byte, calling send again after a partial send. False on a
// socket error (some bytes may have gone out by then).
RV_API bool SendAllBytes(SOCKET socket, const void* data, uint32_t length);

// Sets both the send and the receive time-out of a socket.
RV_API bool SetSocketTimeouts(SOCKET socket, uint32_t sendTimeoutMs, uint32_t receiveTimeoutMs);

} // namespace Common
} // namespace RVGameEngine
