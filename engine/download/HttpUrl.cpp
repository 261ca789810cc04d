#include <winsock2.h>
#include <ws2tcpip.h>

#include "engine/download/HttpUrl.h"

#include "engine/common/base/IString.h"

#include <cstdio>
#include <cstdlib>
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

uint16_t HttpHostPort(const std::string& host)
{
    const size_t colon = host.find(':');
    if (colon == std::string::npos)
        return 80;
    return static_cast<uint16_t>(std::atoi(host.c_str() + colon + 1));
}

} // namespace Download
} // namespace RVGameEngine
