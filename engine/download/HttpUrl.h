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

// False when the text holds a control character (CR and LF above all): in a
// request line or header field it would end the line early and let the
// rest pass as lines of its own.
bool IsPlainRequestText(const std::string& text);

// The decimal port after the host's colon; 80 without one; 0 (no port) when
// the number is missing or above 65535.
uint16_t HttpHostPort(const std::string& host);

} // namespace Download
} // namespace RVGameEngine
