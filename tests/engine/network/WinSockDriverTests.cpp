#include <winsock2.h>

#include "engine/directui/IFrameManager.h"
#include "engine/network/CNetworkDriver_WinSock.h"
#include "engine/network/INetwork.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;

namespace {

using RVTest::kWhole;

// A manager over the window-message driver; its notifications come only while
// this thread dispatches window messages.
RVTest::RecordingNetwork MessageClient(const char* listenAddress = nullptr)
{
    static const ATOM frames = DirectUI::IFrameManager_GetInstance()->Initialize();
    (void)frames;
    return RVTest::RecordingNetwork(INetworkDriver_WinSock_Create(), listenAddress);
}

HWND WindowOf(const RVTest::RecordingNetwork& client)
{
    return static_cast<CNetworkDriver_WinSock*>(client.driver)->GetWindow();
}

std::string Reply(char style, uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
{
    return std::string(1, style) + RVTest::StatFrame(mainCommand, subCommand, payload);
}

} // namespace

TEST(WinSockDriver, TalksToTheStatisticsServerThroughItsWindow)
{
    ASSERT_NE(RVTest::PeerPort("RV_STAT_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    RVTest::RecordingNetwork client = MessageClient();
    ASSERT_TRUE(client.started);
    ASSERT_NE(WindowOf(client), nullptr);
    const uint32_t socket = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    // The probe arrives only through the window's messages.
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.seen[0].kind, NETWORK_EVENT_CONNECT_RESULT);
    EXPECT_TRUE(client.seen[0].success);

    // Replies written whole and one byte at a time arrive whole, in order.
    const std::string big(2000, 'b');
    ASSERT_TRUE(client.Control(socket, RVTest::kStatReply, Reply(kWhole, 9, 1, "first")));
    ASSERT_TRUE(client.Control(socket, RVTest::kStatReply, Reply(RVTest::kByteByByte, 9, 2, "second")));
    ASSERT_TRUE(client.Control(socket, RVTest::kStatReply, Reply(kWhole, 9, 3, big)));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 4, 20000));
    std::vector<std::string> payloads;
    for (const RVTest::NetworkEvent& seen : client.seen)
        if (seen.kind == NETWORK_EVENT_DATA_RECEIVED && seen.subCommand != 1)
            payloads.push_back(seen.payload);
    EXPECT_EQ(payloads, (std::vector<std::string>{"second", big}));

    // Closing reports at once; a notification still queued for the old
    // socket reports nothing more.
    client.network->Close(socket);
    client.network->Update();
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    SendMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, socket,
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
    RVTest::RecordingNetwork client = MessageClient();
    const uint32_t socket = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    const int replies = 30;
    for (uint16_t i = 0; i < replies; ++i)
        ASSERT_TRUE(client.Control(socket, RVTest::kStatReply, Reply(kWhole, 5, i, std::string(1500, 'd'))));
    ASSERT_TRUE(client.Control(socket, RVTest::kStatClose));
    Sleep(500);
    SendMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, socket,
                 WSAMAKESELECTREPLY(FD_CLOSE, 0));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
    EXPECT_EQ(client.Count(NETWORK_EVENT_DATA_RECEIVED), 1 + replies);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    EXPECT_EQ(client.seen.back().kind, NETWORK_EVENT_SOCKET_CLOSED);
    EXPECT_FALSE(client.Send(socket, 1, 1));
}

// A peer that stops reading fills every buffer on the way: a send then waits
// for room, sends what fits, and in the end reports that it failed.
TEST(WinSockDriver, SendsToAStalledPeerFailInTheEnd)
{
    RVTest::RecordingNetwork client = MessageClient();
    const uint32_t socket = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_TRUE(client.Control(socket, RVTest::kStatStall));
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
    RVTest::RecordingNetwork client = MessageClient();
    EXPECT_EQ(client.network->Connect(refused.c_str()), kInvalidNetworkSocket);
    client.network->ConnectAsync(refused.c_str());
    client.network->ConnectAsync(RVTest::StatServerAddress().c_str());
    // Unusable addresses are refused without an attempt.
    client.network->ConnectAsync("127.0.0.1");
    client.network->ConnectAsync(("127.0.0.1:" + std::string(995, '1')).c_str());
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 3));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 4, 500);
    int failures = 0, successes = 0;
    uint32_t connected = kInvalidNetworkSocket;
    for (const RVTest::NetworkEvent& seen : client.seen) {
        if (seen.kind != NETWORK_EVENT_CONNECT_RESULT)
            continue;
        failures += seen.success ? 0 : 1;
        successes += seen.success ? 1 : 0;
        if (seen.success)
            connected = seen.socket;
    }
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(successes, 1);
    EXPECT_TRUE(client.Send(connected, 0, 1));
}

TEST(WinSockDriver, AcceptsClientsOnItsOwnPort)
{
    const std::string address = RVTest::FreeLoopbackAddress();
    RVTest::RecordingNetwork server = MessageClient(address.c_str());
    ASSERT_TRUE(server.started);
    RVTest::RecordingNetwork client = MessageClient();
    const uint32_t toServer = client.network->Connect(address.c_str());
    ASSERT_NE(toServer, kInvalidNetworkSocket);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 1));
    const uint32_t accepted = server.seen[0].socket;
    ASSERT_TRUE(client.Send(toServer, 1, 2, "up"));
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(server.seen.back().payload, "up");
    ASSERT_TRUE(server.Send(accepted, 3, 4, "down"));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.seen.back().payload, "down");

    client.network->Close(toServer);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    EXPECT_EQ(server.seen.back().socket, accepted);
    server.network->StopListening();
    EXPECT_EQ(client.network->Connect(address.c_str()), kInvalidNetworkSocket);
}
