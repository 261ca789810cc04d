#include <winsock2.h>

#include "engine/common/base/TScopedHandle.h"
#include "engine/network/CNetworkDriver_WinSock.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;

namespace {

RVTest::RecordingNetwork MessageClient()
{
    return RVTest::RecordingNetwork(RVTest::NewWindowMessageDriver());
}

// Waits (bounded) until at least `bytes` wait unread on the socket.
bool WaitForWaitingBytes(uint32_t socket, u_long bytes)
{
    return RVTest::WaitFor([&] {
        u_long waiting = 0;
        return ioctlsocket(static_cast<SOCKET>(socket), FIONREAD, &waiting) == 0 && waiting >= bytes;
    });
}

HWND WindowOf(const RVTest::RecordingNetwork& client)
{
    return static_cast<CNetworkDriver_WinSock*>(client.driver)->GetWindow();
}

} // namespace

// The cases both drivers share are in SocketDriverTests.cpp; these are the
// window-message driver's own.
TEST(WinSockDriver, ReportsOnlyThroughItsWindowAndNotAfterAClose)
{
    ASSERT_NE(RVTest::PeerPort("RV_STAT_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    RVTest::RecordingNetwork client = MessageClient();
    ASSERT_NE(WindowOf(client), nullptr);
    const uint32_t socket = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_TRUE(WaitForWaitingBytes(socket, kPacketHeaderSize));
    client.network->Update();
    EXPECT_EQ(client.Count(NETWORK_EVENT_DATA_RECEIVED), 0);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));

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
        ASSERT_TRUE(client.Control(socket, RVTest::kStatReply,
                                   std::string(1, RVTest::kWhole) + RVTest::StatFrame(5, i, std::string(1500, 'd'))));
    ASSERT_TRUE(client.Control(socket, RVTest::kStatClose));
    ASSERT_TRUE(WaitForWaitingBytes(socket, kPacketHeaderSize + replies * (kPacketHeaderSize + 1500)));
    SendMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, socket,
                 WSAMAKESELECTREPLY(FD_CLOSE, 0));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
    EXPECT_EQ(client.Count(NETWORK_EVENT_DATA_RECEIVED), 1 + replies);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    EXPECT_EQ(client.seen.back().kind, NETWORK_EVENT_SOCKET_CLOSED);
    EXPECT_FALSE(client.Send(socket, 1, 1));
}

// A connect under way reports through the window once, whichever way it ends.
TEST(WinSockDriver, ConnectsAsyncAndFailsToConnectOnceEach)
{
    RVTest::RecordingNetwork client = MessageClient();
    client.network->ConnectAsync(RVTest::LoopbackAddress(RVTest::PeerPort("RV_REFUSED_PORT")).c_str());
    client.network->ConnectAsync(RVTest::StatServerAddress().c_str());
    // Unusable addresses are refused without an attempt.
    client.network->ConnectAsync("127.0.0.1");
    client.network->ConnectAsync(("127.0.0.1:" + std::string(995, '1')).c_str());
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 2));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 3, 500);
    int results = 0, failures = 0;
    uint32_t connected = kInvalidNetworkSocket;
    for (const RVTest::NetworkEvent& seen : client.seen) {
        if (seen.kind != NETWORK_EVENT_CONNECT_RESULT)
            continue;
        ++results;
        failures += seen.success ? 0 : 1;
        connected = seen.success ? seen.socket : connected;
    }
    EXPECT_EQ(results, 2);
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(client.Send(connected, 0, 1));
}

// Sends go only to sockets the driver owns (a number the owner still holds
// may be someone else's connection by now, here the test's own), and a stray
// connect notification does not tear down a connected socket.
TEST(WinSockDriver, ActsOnlyOnItsOwnSocketsAndConnects)
{
    RVTest::RecordingNetwork client = MessageClient();
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = inet_addr("127.0.0.1");
    server.sin_port = htons(static_cast<u_short>(RVTest::PeerPort("RV_STAT_PORT")));
    const Common::CScopedSocket foreign(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    ASSERT_EQ(connect(foreign.Get(), reinterpret_cast<const sockaddr*>(&server), sizeof(server)), 0);
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_FALSE(client.driver->Send(static_cast<uint32_t>(foreign.Get()), bytes, sizeof(bytes)));

    SendMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, socket,
                 WSAMAKESELECTREPLY(FD_CONNECT, WSAECONNREFUSED));
    client.Pump();
    EXPECT_EQ(client.Count(NETWORK_EVENT_CONNECT_RESULT), 1);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 0);
    EXPECT_TRUE(client.Send(socket, 0, 1));
}

// A listener may drop the last reference to the driver from inside a report;
// the rest of the notification must not run on freed (poisoned) memory.
TEST(WinSockDriver, AListenerMayReleaseTheDriver)
{
    struct ReleasingListener : public INetworkDriverListener
    {
        void OnClientAccepted(uint32_t) override {}
        void OnConnectResult(uint32_t, const char*, bool) override {}
        void OnSocketClosed(uint32_t) override {}
        void OnDataReceived(uint32_t, const uint8_t*, uint32_t) override
        {
            ++reports;
            driver.Reset();
        }
        Common::TIntrusivePointer<INetworkDriver> driver;
        int reports = 0;
    } listener;
    listener.driver = Common::TIntrusivePointer<INetworkDriver>(RVTest::NewWindowMessageDriver());
    ASSERT_TRUE(listener.driver->Initialize(&listener));
    const HWND window = static_cast<CNetworkDriver_WinSock*>(listener.driver.Get())->GetWindow();
    const uint32_t socket = listener.driver->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    // Once the server's probe is waiting, read and close arrive in one
    // notification.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(static_cast<SOCKET>(socket), &readable);
    timeval limit{5, 0};
    ASSERT_EQ(select(0, &readable, nullptr, nullptr, &limit), 1);
    SendMessageW(window, CNetworkDriver_WinSock::kNotifyMessage, socket, WSAMAKESELECTREPLY(FD_READ | FD_CLOSE, 0));
    EXPECT_EQ(listener.reports, 1);
    EXPECT_TRUE(listener.driver.IsNull());
    RVTest::RecordingNetwork::DispatchWindowMessages();
}

// A close notice Winsock queued for a socket before its owner closed it is
// never taken for the next socket, even one that gets the same number; and a
// close notice for a socket whose peer is still there closes nothing.
TEST(WinSockDriver, ACloseNoticeLeftForAClosedSocketNeverClosesTheNext)
{
    RVTest::RecordingNetwork client = MessageClient();
    const uint32_t first = client.ConnectToStatServer();
    ASSERT_NE(first, kInvalidNetworkSocket);
    client.network->Close(first);
    PostMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, first, WSAMAKESELECTREPLY(FD_CLOSE, 0));
    client.network->Update();
    ASSERT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);

    // The system tends to hand out the lowest free number again.
    const uint32_t second = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(second, kInvalidNetworkSocket);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 2));
    SendMessageW(WindowOf(client), CNetworkDriver_WinSock::kNotifyMessage, second, WSAMAKESELECTREPLY(FD_CLOSE, 0));
    ASSERT_TRUE(client.Control(second, RVTest::kStatReply, std::string(1, RVTest::kWhole) + RVTest::StatFrame(5, 5, "alive")));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 3));
    EXPECT_EQ(client.Messages().back().payload, "alive");
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
}

// A peer that reads nothing holds up only the sends to itself: another
// connection's sends go through meanwhile, and closing the stalled one ends
// its waiting send at once rather than after the send time limit (here far
// longer than this test may run).
TEST(WinSockDriver, AStalledPeerHoldsUpOnlyItsOwnSendsUntilClosed)
{
    RVTest::RegisterFrameClass();
    RVTest::RecordingNetwork client(new CNetworkDriver_WinSock(10 * 60 * 1000));
    const uint32_t stalled = client.ConnectToStatServer();
    ASSERT_NE(stalled, kInvalidNetworkSocket);
    const uint32_t other = client.network->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(other, kInvalidNetworkSocket);
    ASSERT_TRUE(client.Control(stalled, RVTest::kStatStall));
    RVTest::BlockedSender senders[1];
    ASSERT_TRUE(senders[0].Start(&client, stalled));
    RVTest::WaitUntilStuck(senders);

    struct OneSend
    {
        static DWORD WINAPI Run(void* parameter)
        {
            auto* self = static_cast<OneSend*>(parameter);
            self->sent = self->client->Send(self->socket, 1, 2, "free");
            return 0;
        }
        RVTest::RecordingNetwork* client;
        uint32_t socket;
        bool sent;
    } oneSend{&client, other, false};
    const Common::CScopedKernelHandle sending(CreateThread(nullptr, 0, &OneSend::Run, &oneSend, 0, nullptr));
    ASSERT_TRUE(sending.IsValid());
    EXPECT_EQ(WaitForSingleObject(sending.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_TRUE(oneSend.sent);

    client.network->Close(stalled);
    EXPECT_EQ(WaitForSingleObject(senders[0].thread.Get(), 20000), WAIT_OBJECT_0);
    client.network->Close(other);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2));
}
