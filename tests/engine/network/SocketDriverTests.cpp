#include <winsock2.h>

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;

namespace {

RVTest::WinsockScope g_winsock;

using RVTest::kStatReply;


constexpr auto Frame = RVTest::StatFrame;

std::string Hex(const std::string& bytes)
{
    std::string hex;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof(pair), "%02x", c);
        hex += pair;
    }
    return hex;
}

// The statistics server's "msg <main> <sub> <hex>" lines of its newest connection.
std::vector<std::string> NewestConnectionMessages()
{
    std::istringstream record(RVTest::ReadPeerFile(RVTest::PeerVariable("RV_STAT_RECORD")));
    std::vector<std::string> lines;
    std::string line, what, number, newest;
    while (std::getline(record, line)) {
        std::istringstream words(line);
        words >> what >> number;
        if (what == "open") {
            newest = number;
            lines.clear();
        } else if (what == "msg" && number == newest) {
            lines.push_back(what + line.substr(what.size() + 1 + number.size()));
        }
    }
    return lines;
}

uint32_t Elapsed(DWORD start)
{
    return GetTickCount() - start;
}

using Client = RVTest::RecordingNetwork;

// Every case runs over both socket drivers.
class SocketDriver : public ::testing::TestWithParam<RVTest::DriverKind>
{
protected:
    // A client manager, or with an address a server listening there.
    Client Manager(const char* listenAddress = nullptr) { return Client(GetParam().create(), listenAddress); }
};

INSTANTIATE_TEST_SUITE_P(BothDrivers, SocketDriver,
                         ::testing::Values(RVTest::kThreadedDriver, RVTest::kWindowMessageDriver),
                         [](const ::testing::TestParamInfo<RVTest::DriverKind>& info) { return info.param.name; });

} // namespace

TEST_P(SocketDriver, ExchangesMessagesWithTheStatisticsServer)
{
    ASSERT_NE(RVTest::PeerPort("RV_STAT_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    Client client = Manager();
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    EXPECT_EQ(client.seen[0].kind, NETWORK_EVENT_CONNECT_RESULT);
    EXPECT_TRUE(client.seen[0].success);
    EXPECT_EQ(client.seen[0].socket, socket);
    // Answer the server's socket-detect probe (main 0, sub 1, empty).
    ASSERT_TRUE(client.Send(socket, 0, 1));
    const std::string info(48, '\x5c');
    ASSERT_TRUE(client.Send(socket, 108, 6, info));
    const std::string largest(2046, '\xfe');
    ASSERT_TRUE(client.network->SendPacket(socket, 7, 8, reinterpret_cast<const uint8_t*>(largest.data()), 2046, true));

    // Replies written all at once, one byte at a time and one frame per write
    // each arrive whole and in order, after the probe.
    const std::string replies = Frame(9, 1, "first") + Frame(9, 2, "") + Frame(9, 3, std::string(1500, 'z'));
    std::vector<std::string> expectedMessages = {"0 1 0"};
    for (char style : {RVTest::kWhole, RVTest::kByteByByte, RVTest::kFramePerWrite}) {
        ASSERT_TRUE(client.Control(socket, kStatReply, std::string(1, style) + replies));
        expectedMessages.insert(expectedMessages.end(), {"9 1 5", "9 2 0", "9 3 1500"});
    }
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 10, 20000));
    std::vector<std::string> messages;
    for (const RVTest::NetworkEvent& message : client.Messages())
        messages.push_back(std::to_string(message.mainCommand) + " " + std::to_string(message.subCommand) + " "
                           + std::to_string(message.payload.size()));
    EXPECT_EQ(messages, expectedMessages);

    const std::vector<std::string> expected = {"msg 0 1 ", "msg 108 6 " + Hex(info), "msg 7 8 " + Hex(largest)};
    EXPECT_EQ(NewestConnectionMessages(), expected);
    EXPECT_GE(client.network->GetBytesReceived(), 8u + 3 * (3 * 8 + 5 + 1500));
}

// A frame damaged on the wire (every kind of damage: FramingTests.cpp).
TEST_P(SocketDriver, ADamagedFrameFromTheServerMarksTheConnectionBad)
{
    Client client = Manager();
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_TRUE(client.Control(socket, kStatReply, std::string(1, RVTest::kWhole) + Frame(3, 2, "good")));
    ASSERT_TRUE(client.Control(socket, kStatReply,
                               std::string(1, RVTest::kDamagedCheck) + Frame(3, 3, "damaged") + Frame(3, 4, "after")));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 2));
    // Bad: the manager refuses to send on it.
    // The window-message driver reads only while window messages are pumped.
    ASSERT_TRUE(RVTest::WaitFor([&] {
        client.Pump();
        return !client.Send(socket, 1, 1);
    }));
    client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 3, 300);
    EXPECT_EQ(client.Messages().size(), 2u);
    client.network->Close(socket);
    EXPECT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
}

TEST_P(SocketDriver, FailedConnectsReportFailureWithinTheTimeLimit)
{
    const int ports[] = {RVTest::PeerPort("RV_REFUSED_PORT"), RVTest::PeerPort("RV_BLACKHOLE_PORT")};
    for (int port : ports) {
        SCOPED_TRACE(port);
        ASSERT_NE(port, 0);
        Client client = Manager();
        const DWORD start = GetTickCount();
        EXPECT_EQ(client.network->Connect(RVTest::LoopbackAddress(port).c_str()), kInvalidNetworkSocket);
        EXPECT_LE(Elapsed(start), 3600u);
        client.network->Update();
        ASSERT_EQ(client.seen.size(), 1u);
        EXPECT_EQ(client.seen[0].kind, NETWORK_EVENT_CONNECT_RESULT);
        EXPECT_FALSE(client.seen[0].success);
    }

    // Addresses that cannot be used are refused without a connect attempt.
    Client client = Manager();
    const std::string tooLong = "127.0.0.1:" + std::string(995, '1');
    // Would wrap round to the port of the running server.
    const std::string pastLastPort = RVTest::LoopbackAddress(65536 + RVTest::PeerPort("RV_STAT_PORT"));
    EXPECT_EQ(client.network->Connect("127.0.0.1"), kInvalidNetworkSocket);
    EXPECT_EQ(client.network->Connect(tooLong.c_str()), kInvalidNetworkSocket);
    EXPECT_EQ(client.network->Connect(pastLastPort.c_str()), kInvalidNetworkSocket);
    client.network->Update();
    EXPECT_TRUE(client.seen.empty());
}

// However a connection ends - the peer hangs up, we close it, or we close it
// while the peer stalls - exactly one closed event follows, and a stalled
// peer never holds up Update. One connection is made asynchronously by name.
TEST_P(SocketDriver, EveryCloseIsReportedExactlyOnce)
{
    enum Ending { kPeerCloses, kWeClose, kWeCloseStalledPeer };
    for (Ending ending : {kPeerCloses, kWeClose, kWeCloseStalledPeer}) {
        SCOPED_TRACE(ending);
        Client client = Manager();
        uint32_t socket = kInvalidNetworkSocket;
        if (ending == kWeClose) {
            // By name, reported through Update.
            client.network->ConnectAsync(("localhost:" + std::to_string(RVTest::PeerPort("RV_STAT_PORT"))).c_str());
            ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
            ASSERT_TRUE(client.seen[0].success);
            socket = client.seen[0].socket;
        } else {
            socket = client.ConnectToStatServer();
            ASSERT_NE(socket, kInvalidNetworkSocket);
        }
        if (ending == kPeerCloses) {
            ASSERT_TRUE(client.Control(socket, RVTest::kStatClose));
        } else if (ending == kWeCloseStalledPeer) {
            ASSERT_TRUE(client.Control(socket, RVTest::kStatStall));
            DWORD longest = 0;
            for (int i = 0; i < 20; ++i) {
                const DWORD start = GetTickCount();
                client.network->Update();
                longest = std::max<DWORD>(longest, Elapsed(start));
                Sleep(10);
            }
            EXPECT_LT(longest, 500u);
        }
        if (ending != kPeerCloses) {
            client.network->Close(socket);
            client.network->Close(socket);
        }
        ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
        client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
        EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
        EXPECT_EQ(client.seen.back().socket, socket);
        EXPECT_FALSE(client.Send(socket, 1, 1));
    }
}

// A peer that stops reading ends its connection instead of hanging a send; a
// peer that floods us faster than Update delivers is slowed down rather than
// cut off or allowed to fill memory; a close asked for during a flood is
// honoured. Each way exactly one closed event comes, and no data event
// follows it.
TEST_P(SocketDriver, AMisbehavingPeerEndsItsConnection)
{
    enum Misdeed { kStopsReading, kFloodsUnread, kFloodsWhileWeClose };
    const std::string floodFrame = Frame(6, 1, std::string(1000, 'f'));
    for (Misdeed misdeed : {kStopsReading, kFloodsUnread, kFloodsWhileWeClose}) {
        SCOPED_TRACE(misdeed);
        Client client = Manager();
        const uint32_t socket = client.ConnectToStatServer();
        ASSERT_NE(socket, kInvalidNetworkSocket);
        if (misdeed == kStopsReading) {
            ASSERT_TRUE(client.Control(socket, RVTest::kStatStall));
            const std::string block(kMaxPacketPayload, 's');
            int sent = 0;
            DWORD longest = 0;
            for (bool ok = true; ok && sent < 40000; ++sent) {
                const DWORD start = GetTickCount();
                ok = client.Send(socket, 7, 7, block);
                longest = std::max<DWORD>(longest, Elapsed(start));
            }
            EXPECT_LT(sent, 40000);
            EXPECT_LT(longest, 20000u);
        } else {
            ASSERT_TRUE(client.Control(socket, RVTest::kStatFlood, floodFrame));
        }
        if (misdeed == kFloodsUnread) {
            // Nobody calls Update for a while: reading pauses at the queue's
            // bound and the connection stays up; once Update takes the queue
            // down, reading goes on past what the bound held.
            RVTest::WaitFor([&] {
                Client::DispatchWindowMessages();
                return false;
            }, 1500);
            EXPECT_TRUE(client.Send(socket, 1, 1));
            EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 0);
            const int held = static_cast<int>(kMaxQueuedBytesPerConnection / (kPacketHeaderSize + 1000));
            ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, held + 200, 20000));
            EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 0);
            client.network->Close(socket);
        } else if (misdeed == kFloodsWhileWeClose) {
            ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 3));
            client.network->Close(socket);
        }
        ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
        client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
        EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
        EXPECT_TRUE(client.NothingAfterTheClose(socket));
        EXPECT_FALSE(client.Send(socket, 1, 1));
    }
}

// A manager listening on its own port, with a second manager as its client.
TEST_P(SocketDriver, ServerAcceptsClientsAndStopsListening)
{
    const std::string address = RVTest::FreeLoopbackAddress();
    Client server = Manager(address.c_str());
    ASSERT_TRUE(server.started);
    Client client = Manager();
    const uint32_t first = client.network->Connect(address.c_str());
    ASSERT_NE(first, kInvalidNetworkSocket);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 1));
    const uint32_t accepted = server.seen[0].socket;
    ASSERT_TRUE(client.Send(first, 1, 2, "up"));
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(server.Messages()[0].payload, "up");
    ASSERT_TRUE(server.Send(accepted, 3, 4, "down"));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.Messages()[0].payload, "down");
    client.network->Close(first);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    EXPECT_EQ(server.seen.back().socket, accepted);

    const uint32_t second = client.network->Connect(address.c_str());
    ASSERT_NE(second, kInvalidNetworkSocket);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 2));
    server.network->StopListening();
    EXPECT_EQ(client.network->Connect(address.c_str()), kInvalidNetworkSocket);
    if (GetParam().quietAfterStopListening) {
        ASSERT_TRUE(client.Send(second, 1, 2, "late"));
        client.network->Close(second);
        server.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 500);
        EXPECT_EQ(server.Messages().size(), 1u);
        EXPECT_EQ(server.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    }
}

// The driver closes only sockets it made: a number it does not own (here a
// socket of the test's own) is left alone.
TEST_P(SocketDriver, CloseLeavesForeignSocketsAlone)
{
    Client client = Manager();
    const Common::CScopedSocket own(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    ASSERT_TRUE(own.IsValid());
    client.network->Close(static_cast<uint32_t>(own.Get()));
    int type = 0;
    int length = sizeof(type);
    EXPECT_EQ(getsockopt(own.Get(), SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length), 0);
    EXPECT_EQ(type, SOCK_STREAM);
}

// While its owner has paused reading, a driver reports nothing of the
// connection, neither data nor the peer's close; once reading resumes every
// byte comes, then the close, once.
TEST_P(SocketDriver, PausedReadingHoldsDataAndCloseUntilResumed)
{
    Client client = Manager();
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    client.driver->PauseReceiving(socket, true);
    const int replies = 30;
    for (uint16_t i = 0; i < replies; ++i)
        ASSERT_TRUE(client.Control(socket, kStatReply, std::string(1, RVTest::kWhole) + Frame(5, i, std::string(1500, 'p'))));
    ASSERT_TRUE(client.Control(socket, RVTest::kStatClose));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1, 700);
    // A read already under way when the pause came still delivers what it
    // got (one read: two or three of these replies at most), nothing after.
    EXPECT_LE(client.Count(NETWORK_EVENT_DATA_RECEIVED), 1 + 3);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 0);

    client.driver->PauseReceiving(socket, false);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
    EXPECT_EQ(client.Count(NETWORK_EVENT_DATA_RECEIVED), 1 + replies);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    EXPECT_EQ(client.seen.back().kind, NETWORK_EVENT_SOCKET_CLOSED);
}
