#include <winsock2.h>
#include <ws2tcpip.h>

#include "engine/download/HttpUrl.h"

#include "engine/common/base/IString.h"

#include <cstdio>
#include <cstring>

namespace RVGameEngine {
namespace Download {

namespace {

bool IsDottedPrefix(const std::string& text)
{
    for (char c : text) {
        if (!(c == '.' || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

std::string LookUpHostName(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0 || results == nullptr)
        return std::string();
    std::string dotted;
    if (results->ai_addr != nullptr && results->ai_addrlen >= sizeof(sockaddr_in)) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(results->ai_addr);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&address->sin_addr);
        char text[16];
        std::snprintf(text, sizeof(text), "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
        dotted = text;
    }
    freeaddrinfo(results);
    return dotted;
}

} // namespace

tagHttpUrl SplitHttpUrl(const wchar_t* url)
{
    std::string text;
    if (url != nullptr) {
        Common::TIntrusivePointer<Common::IString> converted = Common::IString_Create_Utf16(url);
        if (converted && converted->GetAnsi() != nullptr)
            text = converted->GetAnsi();
    }
    if (text.size() >= 7 && _strnicmp(text.c_str(), "http://", 7) == 0)
        text.erase(0, 7);
    tagHttpUrl parts;
    const size_t slash = text.find('/');
    parts.host = text.substr(0, slash);
    parts.path = slash == std::string::npos ? std::string("/") : text.substr(slash);
    return parts;
}

std::string ResolveHttpHost(const std::string& host)
{
    if (host.size() >= 7) {
        const size_t end = host.find_first_of(":/\\");
        if (end != std::string::npos && IsDottedPrefix(host.substr(0, end)))
            return host.substr(0, end);
    }
    if (host == "localhost")
        return "127.0.0.1";
    return LookUpHostName(host.substr(0, host.find(':')));
}

bool IsPlainRequestText(const std::string& text)
{
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

uint16_t HttpHostPort(const std::string& host)
{
    const size_t colon = host.find(':');
    if (colon == std::string::npos)
        return 80;
    // Read like atoi, but a number past the last port is no port rather
    // than another one it wraps to.
    uint32_t port = 0;
    for (size_t at = colon + 1; at < host.size() && host[at] >= '0' && host[at] <= '9'; ++at) {
        port = port * 10 + static_cast<uint32_t>(host[at] - '0');
        if (port > 65535)
            return 0;
    }
    return static_cast<uint16_t>(port);
}

} // namespace Download
} // namespace RVGameEngine
