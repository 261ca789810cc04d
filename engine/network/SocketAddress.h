#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

namespace RVGameEngine {
namespace Network {

// Longest address text the drivers take.
constexpr int kMaxAddressLength = 999;

// Resolves a driver address "host:port". A host part with any ASCII letter
// is looked up by name (its first IPv4 address; 255.255.255.255 when the
// lookup fails); otherwise it is read as a dotted IPv4 address. The port is
// the decimal number after the first colon. Null, over-long and colon-less
// texts are refused with false.
bool ResolveSocketAddress(const char* address, sockaddr_in* resolved);

} // namespace Network
} // namespace RVGameEngine
