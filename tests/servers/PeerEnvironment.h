#pragma once

// What the peer launcher (run_with_peers.py) tells a test program: ports of
// the local servers and where they record what they saw.

#include <winsock2.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// After winsock2.h, which must come before windows.h.
#include "tests/support/WaitUntil.h"

namespace RVTest {

// The variable's value, or empty when the program runs without the launcher.
inline std::string PeerVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

inline int PeerPort(const char* name)
{
    return std::atoi(PeerVariable(name).c_str());
}

inline std::string LoopbackAddress(int port)
{
    return "127.0.0.1:" + std::to_string(port);
}

// A loopback address on a port nothing listens on right now.
inline std::string FreeLoopbackAddress()
{
    sockaddr_in free{};
    free.sin_family = AF_INET;
    free.sin_addr.s_addr = inet_addr("127.0.0.1");
    int length = sizeof(free);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bind(probe, reinterpret_cast<sockaddr*>(&free), sizeof(free));
    getsockname(probe, reinterpret_cast<sockaddr*>(&free), &length);
    closesocket(probe);
    return LoopbackAddress(ntohs(free.sin_port));
}

inline std::string ReadPeerFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Waits (bounded) until the condition holds; true when it did. The bound is
// for a peer that never answers: on a loaded machine a peer's answer or
// record can take many seconds to come.
template <typename Condition>
bool WaitFor(Condition condition, uint32_t limitMs = 60000)
{
    return WaitUntil(condition, limitMs);
}

// Starts Winsock for the whole test program.
class WinsockScope
{
public:
    WinsockScope()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockScope() { WSACleanup(); }
};

} // namespace RVTest
