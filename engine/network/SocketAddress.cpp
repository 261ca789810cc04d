#include <winsock2.h>

#include "engine/network/SocketAddress.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace RVGameEngine {
namespace Network {

namespace {

bool HasLetter(const std::string& text)
{
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return true;
    }
    return false;
}

u_long LookUpHost(const std::string& host)
{
    const hostent* entry = gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != 4 || entry->h_addr_list == nullptr
        || entry->h_addr_list[0] == nullptr)
        return INADDR_NONE;
    u_long address = 0;
    std::memcpy(&address, entry->h_addr_list[0], sizeof(address));
    return address;
}

} // namespace

bool ResolveSocketAddress(const char* address, sockaddr_in* resolved)
{
    if (address == nullptr || resolved == nullptr)
        return false;
    const size_t length = strnlen(address, kMaxAddressLength + 1);
    if (length > static_cast<size_t>(kMaxAddressLength))
        return false;
    const char* colon = std::strchr(address, ':');
    if (colon == nullptr)
        return false;

    const std::string host(address, colon);
    std::memset(resolved, 0, sizeof(*resolved));
    resolved->sin_family = AF_INET;
    resolved->sin_addr.s_addr = HasLetter(host) ? LookUpHost(host) : inet_addr(host.c_str());
    resolved->sin_port = htons(static_cast<u_short>(std::atoi(colon + 1)));
    return true;
}

} // namespace Network
} // namespace RVGameEngine
