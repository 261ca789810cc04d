#include <winsock2.h>

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/IFrameManager.h"
#include "engine/network/CNetworkDriver_WinSock.h"
#include "engine/network/INetwork.h"
#include "tests/servers/PeerEnvironment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;
using Common::TIntrusivePointer;

namespace {

constexpr uint16_t kControl = 0xF0F0;
constexpr uint16_t kControlClose = 2;
constexpr uint16_t kControlStall = 3;
constexpr uint16_t kControlReply = 4;
constexpr uint8_t kWhole = 0;
constexpr uint8_t kByteByByte = 1;

struct Seen
{
    int kind;
    uint32_t socket;
    bool success;
    uint16_t subCommand;
    std::string payload;
};

std::string Reply(uint8_t style, uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
{
    std::string reply(1, static_cast<char>(style));
    for (uint16_t word : {mainCommand, subCommand, static_cast<uint16_t>(payload.size())}) {
        reply += static_cast<char>(word & 0xFF);
        reply += static_cast<char>(word >> 8);
    }
    return reply + payload;
}

// A connection manager over the window-message driver; its notifications
// come only while this thread dispatches window messages.
class MessageClient
{
public:
    explicit MessageClient(const char* listenAddress = nullptr) : network(INetwork_Create())
    {
        static const ATOM frames = DirectUI::IFrameManager_GetInstance()->Initialize();
        (void)frames;
        driver = static_cast<CNetworkDriver_WinSock*>(INetworkDriver_WinSock_Create());
        started = listenAddress == nullptr ? network->StartClient(driver) : network->StartServer(driver, listenAddress);
        for (int kind = 0; kind < 4; ++kind)
            network->AddMemberFunctionDelegate(kind, this, &MessageClient::Record);
    }

    void Record(void*, Common::tagEventArgs* args)
    {
        Seen seen{};
        if (auto* accepted = dynamic_cast<tagNetworkClientAcceptedEventArgs*>(args)) {
            seen.kind = NETWORK_EVENT_CLIENT_ACCEPTED;
            seen.socket = accepted->socket;
        } else if (auto* result = dynamic_cast<tagNetworkConnectServerResultEventArgs*>(args)) {
            seen.kind = NETWORK_EVENT_CONNECT_RESULT;
            seen.socket = result->socket;
            seen.success = result->success;
        } else if (auto* closed = dynamic_cast<tagNetworkSocketClosedEventArgs*>(args)) {
            seen.kind = NETWORK_EVENT_SOCKET_CLOSED;
            seen.socket = closed->socket;
        } else if (auto* data = dynamic_cast<tagNetworkDataReceivedEventArgs*>(args)) {
            seen.kind = NETWORK_EVENT_DATA_RECEIVED;
            seen.socket = data->socket;
            seen.subCommand = data->subCommand;
            seen.payload.assign(reinterpret_cast<const char*>(data->data), data->length);
        }
        events.push_back(seen);
    }

    int Count(int kind) const
    {
        int count = 0;
        for (const Seen& seen : events)
            count += seen.kind == kind ? 1 : 0;
        return count;
    }

    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        network->Update();
    }

    bool PumpUntil(int kind, int count, uint32_t limitMs = 5000)
    {
        return RVTest::WaitFor([&] {
            Pump();
            return Count(kind) >= count;
        }, limitMs);
    }

    bool Send(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
    {
        return network->Send(socket, mainCommand, subCommand, reinterpret_cast<const uint8_t*>(payload.data()),
                             static_cast<uint16_t>(payload.size()));
    }

    TIntrusivePointer<INetwork> network;
    CNetworkDriver_WinSock* driver = nullptr;
    bool started = false;
    std::vector<Seen> events;
};

std::string StatServer()
{
    return RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT"));
}

} // namespace

TEST(WinSockDriver, TalksToTheStatisticsServerThroughItsWindow)
{
    ASSERT_NE(RVTest::PeerPort("RV_STAT_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    MessageClient client;
    ASSERT_TRUE(client.started);
    ASSERT_NE(client.driver->GetWindow(), nullptr);
    const uint32_t socket = client.network->Connect(StatServer().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    // The probe arrives only through the window's messages.
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.events[0].kind, NETWORK_EVENT_CONNECT_RESULT);
    EXPECT_TRUE(client.events[0].success);

    // Replies written whole and one byte at a time arrive whole, in order.
    const std::string big(2000, 'b');
    ASSERT_TRUE(client.Send(socket, kControl, kControlReply, Reply(kWhole, 9, 1, "first")));
    ASSERT_TRUE(client.Send(socket, kControl, kControlReply, Reply(kByteByByte, 9, 2, "second")));
    ASSERT_TRUE(client.Send(socket, kControl, kControlReply, Reply(kWhole, 9, 3, big)));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 4, 20000));
    std::vector<std::string> payloads;
    for (const Seen& seen : client.events)
        if (seen.kind == NETWORK_EVENT_DATA_RECEIVED && seen.subCommand != 1)
            payloads.push_back(seen.payload);
    EXPECT_EQ(payloads, (std::vector<std::string>{"second", big}));

    // Closing reports at once; a notification still queued for the old
    // socket reports nothing more.
    client.network->Close(socket);
    client.network->Update();
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    SendMessageW(client.driver->GetWindow(), CNetworkDriver_WinSock::kNotifyMessage, socket,
                 WSAMAKESELECTREPLY(FD_READ | FD_CLOSE, 0));
    client.Pump();
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
}

// The server answers, then hangs up while nobody dispatches messages: every
// byte it sent is delivered before the close is reported, even when the
// close notification comes before the reads (Winsock does not promise their
// order; here it is sent ahead of the queued ones).
TEST(WinSockDriver, APeerCloseComesAfterAllItsData)
{
    MessageClient client;
    const uint32_t socket = client.network->Connect(StatServer().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    const int replies = 30;
    for (int i = 0; i < replies; ++i)
        ASSERT_TRUE(client.Send(socket, kControl, kControlReply, Reply(kWhole, 5, static_cast<uint16_t>(i), std::string(1500, 'd'))));
    ASSERT_TRUE(client.Send(socket, kControl, kControlClose, ""));
    Sleep(500);
    SendMessageW(client.driver->GetWindow(), CNetworkDriver_WinSock::kNotifyMessage, socket,
                 WSAMAKESELECTREPLY(FD_CLOSE, 0));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
    EXPECT_EQ(client.Count(NETWORK_EVENT_DATA_RECEIVED), 1 + replies);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    EXPECT_EQ(client.events.back().kind, NETWORK_EVENT_SOCKET_CLOSED);
    EXPECT_FALSE(client.Send(socket, 1, 1, ""));
}

// A peer that stops reading fills every buffer on the way: a send then waits
// for room, sends what fits, and in the end reports that it failed.
TEST(WinSockDriver, SendsToAStalledPeerFailInTheEnd)
{
    MessageClient client;
    const uint32_t socket = client.network->Connect(StatServer().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_TRUE(client.Send(socket, kControl, kControlStall, ""));
    const std::string block(2046, 's');
    int sent = 0;
    while (sent < 40000 && client.Send(socket, 7, 7, block))
        ++sent;
    EXPECT_LT(sent, 40000);
    EXPECT_GT(sent, 0);
}

TEST(WinSockDriver, ConnectsAndFailsToConnectOnceEach)
{
    const std::string refused = RVTest::LoopbackAddress(RVTest::PeerPort("RV_REFUSED_PORT"));
    MessageClient client;
    EXPECT_EQ(client.network->Connect(refused.c_str()), kInvalidNetworkSocket);
    client.network->ConnectAsync(refused.c_str());
    client.network->ConnectAsync(StatServer().c_str());
    // Unusable addresses are refused without an attempt.
    client.network->ConnectAsync("127.0.0.1");
    client.network->ConnectAsync(("127.0.0.1:" + std::string(995, '1')).c_str());
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 3));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 4, 500);
    int failures = 0, successes = 0;
    uint32_t connected = kInvalidNetworkSocket;
    for (const Seen& seen : client.events) {
        if (seen.kind != NETWORK_EVENT_CONNECT_RESULT)
            continue;
        failures += seen.success ? 0 : 1;
        successes += seen.success ? 1 : 0;
        if (seen.success)
            connected = seen.socket;
    }
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(successes, 1);
    EXPECT_TRUE(client.Send(connected, 0, 1, ""));
}

TEST(WinSockDriver, AcceptsClientsOnItsOwnPort)
{
    sockaddr_in free{};
    free.sin_family = AF_INET;
    free.sin_addr.s_addr = inet_addr("127.0.0.1");
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int length = sizeof(free);
    ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&free), sizeof(free)), 0);
    getsockname(probe, reinterpret_cast<sockaddr*>(&free), &length);
    closesocket(probe);
    const std::string address = RVTest::LoopbackAddress(ntohs(free.sin_port));

    MessageClient server(address.c_str());
    ASSERT_TRUE(server.started);
    MessageClient client;
    const uint32_t toServer = client.network->Connect(address.c_str());
    ASSERT_NE(toServer, kInvalidNetworkSocket);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 1));
    const uint32_t accepted = server.events[0].socket;
    ASSERT_TRUE(client.Send(toServer, 1, 2, "up"));
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(server.events.back().payload, "up");
    ASSERT_TRUE(server.Send(accepted, 3, 4, "down"));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.events.back().payload, "down");

    client.network->Close(toServer);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    EXPECT_EQ(server.events.back().socket, accepted);
    server.network->StopListening();
    EXPECT_EQ(client.network->Connect(address.c_str()), kInvalidNetworkSocket);
}
