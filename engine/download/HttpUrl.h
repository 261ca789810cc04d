#pragma once

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Download {

// A URL cut into the parts a request needs (narrow, code page 936).
struct tagHttpUrl
{
    // The host with any ":port", as written in the Host line.
    std::string host;
    // From the first "/" after the host on, query included; "/" when absent.
    std::string path;
};

// Converts the URL to code page 936, skips a leading "http://" (any letter
// case) and splits host from path.
tagHttpUrl SplitHttpUrl(const wchar_t* url);

// The dotted IPv4 address to connect to for a host text: a leading dotted
// address before ":", "/" or "\" (for host texts of 7 or more characters),
// "127.0.0.1" for "localhost", else the first IPv4 address a name lookup
// gives; empty when the lookup fails.
std::string ResolveHttpHost(const std::string& host);

// The decimal port after the host's colon; 80 without one.
uint16_t HttpHostPort(const std::string& host);

} // namespace Download
} // namespace RVGameEngine
