#pragma once

#include "engine/network/INetworkDriver.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVTest {

// A driver that sends nowhere: it keeps what the manager asks of it, and the
// test plays the driver's part by calling the listener itself.
class FakeNetworkDriver : public RVGameEngine::Network::INetworkDriver
{
public:
    bool Listen(RVGameEngine::Network::INetworkDriverListener* listener, const char*) override
    {
        return Initialize(listener);
    }
    bool Initialize(RVGameEngine::Network::INetworkDriverListener* newListener) override
    {
        listener = newListener;
        return true;
    }
    void StopListening() override {}
    uint32_t Connect(const char*) override { return RVGameEngine::Network::kInvalidNetworkSocket; }
    uint32_t ConnectAsync(const char*) override { return 0; }
    void Close(uint32_t socket) override { closed.push_back(socket); }
    bool Send(uint32_t, const uint8_t* data, uint32_t length) override
    {
        sent.push_back(std::string(reinterpret_cast<const char*>(data), length));
        return true;
    }

    RVGameEngine::Network::INetworkDriverListener* listener = nullptr;
    std::vector<std::string> sent;
    std::vector<uint32_t> closed;
};

} // namespace RVTest
