#include <winsock2.h>

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
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

namespace {

bool IsSocket(uint32_t number)
{
    int type = 0;
    int length = sizeof(type);
    return getsockopt(static_cast<SOCKET>(number), SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0;
}

// Whether the closed socket's number was still taken while its event was raised.
struct NumberWatcher
{
    void OnClosed(void*, Common::tagEventArgs* args)
    {
        const uint32_t socket = static_cast<tagNetworkSocketClosedEventArgs*>(args)->socket;
        takenWhileRaised.push_back(IsSocket(socket));
    }
    std::vector<bool> takenWhileRaised;
};

// Whether the number was still a socket when its failed connect was reported.
struct ConnectWatcher : INetworkDriverListener
{
    void OnClientAccepted(uint32_t) override {}
    void OnConnectResult(uint32_t socket, const char*, bool success) override
    {
        results.push_back(success);
        takenWhileReported.push_back(IsSocket(socket));
    }
    void OnSocketClosed(uint32_t) override {}
    void OnDataReceived(uint32_t, const uint8_t*, uint32_t) override {}
    std::vector<bool> results;
    std::vector<bool> takenWhileReported;
};

} // namespace

// However a connection ends, the system cannot give its number to another
// socket before the owner has raised its closed event (whose handlers, and
// those of its packets raised before it, may still act on that number); once
// raised, the number goes back.
TEST_P(SocketDriver, AClosedSocketsNumberStaysTakenUntilItsEventIsRaised)
{
    for (const bool peerCloses : {true, false}) {
        SCOPED_TRACE(peerCloses ? "the peer closes" : "we close");
        Client client = Manager();
        NumberWatcher watcher;
        client.network->AddMemberFunctionDelegate(NETWORK_EVENT_SOCKET_CLOSED, &watcher, &NumberWatcher::OnClosed);
        const uint32_t socket = client.ConnectToStatServer();
        ASSERT_NE(socket, kInvalidNetworkSocket);
        if (peerCloses) {
            ASSERT_TRUE(client.Control(socket, RVTest::kStatClose));
            // Reported by the driver, not yet raised.
            ASSERT_TRUE(RVTest::WaitFor([&] {
                Client::DispatchWindowMessages();
                return !client.Send(socket, 1, 1);
            }));
        } else {
            client.network->Close(socket);
        }
        EXPECT_TRUE(IsSocket(socket));
        ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
        EXPECT_EQ(watcher.takenWhileRaised, std::vector<bool>{true});
        EXPECT_TRUE(RVTest::WaitFor([&] {
            client.Pump();
            return !IsSocket(socket);
        }));
    }
}

// A failed connect is reported while its number is still the attempt's own:
// closed first, the number could go to another connect, whose record the
// late failure would replace.
TEST_P(SocketDriver, AFailedConnectIsReportedBeforeItsSocketCloses)
{
    ConnectWatcher watcher;
    Common::TIntrusivePointer<INetworkDriver> driver(GetParam().create());
    ASSERT_TRUE(driver->Initialize(&watcher));
    EXPECT_EQ(driver->Connect(RVTest::LoopbackAddress(RVTest::PeerPort("RV_REFUSED_PORT")).c_str()),
              kInvalidNetworkSocket);
    EXPECT_EQ(watcher.results, std::vector<bool>{false});
    EXPECT_EQ(watcher.takenWhileReported, std::vector<bool>{true});
    driver->Initialize(nullptr);
}

namespace {

// Frame `sequence` of connection `id`: its text names both, then a filler
// whose length and bytes follow from them.
std::string StressPayload(int id, int sequence)
{
    std::string payload = std::to_string(id) + ":" + std::to_string(sequence) + ":";
    const size_t filler = static_cast<size_t>((id * 7919 + sequence * 104729) % 1400);
    for (size_t i = 0; i < filler; ++i)
        payload += static_cast<char>((id + sequence + i) & 0xFF);
    return payload;
}

int StressId(const std::string& payload)
{
    return std::atoi(payload.c_str());
}

// What each side keeps: its connections, by number from their open to their
// close, and the faults it saw.
template <typename ConnectionRecord>
struct StressSide
{
    using Connection = ConnectionRecord;

    explicit StressSide(const char* name) : side(name) {}

    void OnClosed(void*, Common::tagEventArgs* args)
    {
        const uint32_t socket = static_cast<tagNetworkSocketClosedEventArgs*>(args)->socket;
        auto found = live.find(socket);
        if (found == live.end()) {
            faults.push_back(std::string(side) + ": a close for no open connection");
            return;
        }
        ++all[found->second].closes;
        live.erase(found);
    }

    const char* side;
    INetwork* network = nullptr;
    std::map<uint32_t, size_t> live;
    std::vector<Connection> all;
    std::vector<std::string> faults;
};

struct StressServerConnection
{
    int id = -1;
    int received = 0;
    int closes = 0;
};

// The server's side: it echoes every frame on the socket it came from, and
// closes that socket instead when the frame asks for it (sub command 1).
// Every connection is followed from its accept to its close, by number.
struct StressServer : StressSide<StressServerConnection>
{
    StressServer() : StressSide("server") {}

    void OnAccepted(void*, Common::tagEventArgs* args)
    {
        const uint32_t socket = static_cast<tagNetworkClientAcceptedEventArgs*>(args)->socket;
        if (live.count(socket) != 0)
            faults.push_back("accepted a number still in use");
        live[socket] = all.size();
        all.emplace_back();
    }
    void OnData(void*, Common::tagEventArgs* args)
    {
        auto* data = static_cast<tagNetworkDataReceivedEventArgs*>(args);
        const std::string payload(reinterpret_cast<const char*>(data->data), data->length);
        auto found = live.find(data->socket);
        if (found == live.end()) {
            faults.push_back("data for no open connection");
            return;
        }
        Connection& connection = all[found->second];
        if (connection.id < 0)
            connection.id = StressId(payload);
        if (payload != StressPayload(connection.id, connection.received))
            faults.push_back("server: frame " + std::to_string(connection.received) + " of connection "
                             + std::to_string(connection.id) + " differs");
        ++connection.received;
        if (data->subCommand == 1)
            network->Close(data->socket);
        else
            network->Send(data->socket, data->mainCommand, data->subCommand, data->data,
                          static_cast<uint16_t>(data->length));
    }
};

struct StressClientConnection
{
    int frames = 0;
    // The frame after which the server closes, or -1: we close.
    int serverClosesAfter = -1;
    int echoed = 0;
    int closes = 0;
};

// The client's side: each connection sends its frames at once and checks
// every echo; it is closed by us once all came back, or by the server.
struct StressClient : StressSide<StressClientConnection>
{
    StressClient() : StressSide("client") {}

    void OnData(void*, Common::tagEventArgs* args)
    {
        auto* data = static_cast<tagNetworkDataReceivedEventArgs*>(args);
        auto found = live.find(data->socket);
        if (found == live.end()) {
            faults.push_back("client: data for no open connection");
            return;
        }
        Connection& connection = all[found->second];
        const std::string payload(reinterpret_cast<const char*>(data->data), data->length);
        if (payload != StressPayload(static_cast<int>(found->second), connection.echoed))
            faults.push_back("client: echo " + std::to_string(connection.echoed) + " of connection "
                             + std::to_string(found->second) + " differs");
        ++connection.echoed;
        if (connection.serverClosesAfter < 0 && connection.echoed == connection.frames)
            network->Close(data->socket);
    }
};

} // namespace

// Many connections open, exchange frames and close at random, several at a
// time, with more events waiting than one Update raises: every frame arrives
// exactly, both ways, in order, and every connection is closed exactly once
// on each side, its events never mistaken for those of a newer connection
// that the system gave the same number.
TEST_P(SocketDriver, ManyConnectionsOpeningSendingAndClosingAtRandomLoseNothing)
{
    constexpr int kConnections = 150;
    constexpr size_t kAtOnce = 12;
    const std::string address = RVTest::FreeLoopbackAddress();
    Client serverSide = Manager(address.c_str());
    ASSERT_TRUE(serverSide.started);
    Client clientSide = Manager();
    StressServer server;
    server.network = serverSide.network.Get();
    serverSide.network->AddMemberFunctionDelegate(NETWORK_EVENT_CLIENT_ACCEPTED, &server, &StressServer::OnAccepted);
    serverSide.network->AddMemberFunctionDelegate(NETWORK_EVENT_DATA_RECEIVED, &server, &StressServer::OnData);
    serverSide.network->AddMemberFunctionDelegate(NETWORK_EVENT_SOCKET_CLOSED, &server, &StressServer::OnClosed);
    StressClient client;
    client.network = clientSide.network.Get();
    clientSide.network->AddMemberFunctionDelegate(NETWORK_EVENT_DATA_RECEIVED, &client, &StressClient::OnData);
    clientSide.network->AddMemberFunctionDelegate(NETWORK_EVENT_SOCKET_CLOSED, &client, &StressClient::OnClosed);

    std::mt19937 random(20261207);
    const DWORD start = GetTickCount();
    while ((client.all.size() < kConnections || !client.live.empty() || !server.live.empty())
           && Elapsed(start) < 200000) {
        if (client.all.size() < kConnections && client.live.size() < kAtOnce && random() % 3 == 0) {
            const uint32_t socket = clientSide.network->Connect(address.c_str());
            ASSERT_NE(socket, kInvalidNetworkSocket);
            const size_t id = client.all.size();
            ASSERT_EQ(client.live.count(socket), 0u) << "a number still in use came back";
            client.live[socket] = id;
            client.all.emplace_back();
            StressClient::Connection& connection = client.all.back();
            connection.frames = 1 + static_cast<int>(random() % 20);
            if (random() % 3 == 0)
                connection.serverClosesAfter = static_cast<int>(random() % connection.frames);
            for (int i = 0; i < connection.frames; ++i) {
                const std::string payload = StressPayload(static_cast<int>(id), i);
                const uint16_t sub = i == connection.serverClosesAfter ? 1 : 2;
                if (!clientSide.network->Send(socket, 7, sub, reinterpret_cast<const uint8_t*>(payload.data()),
                                              static_cast<uint16_t>(payload.size())))
                    break;
            }
        }
        // The two sides take turns at random, each taking a bounded share.
        if (random() % 2 == 0)
            serverSide.Pump();
        else
            clientSide.Pump();
        ASSERT_TRUE(server.faults.empty()) << server.faults[0];
        ASSERT_TRUE(client.faults.empty()) << client.faults[0];
    }
    ASSERT_EQ(client.all.size(), static_cast<size_t>(kConnections));
    ASSERT_TRUE(client.live.empty()) << client.live.size() << " connections never closed";
    ASSERT_TRUE(server.live.empty()) << server.live.size() << " accepted connections never closed";
    ASSERT_EQ(server.all.size(), static_cast<size_t>(kConnections));
    std::vector<int> receivedById(kConnections, -1);
    for (const StressServer::Connection& connection : server.all) {
        EXPECT_EQ(connection.closes, 1);
        ASSERT_GE(connection.id, 0);
        ASSERT_LT(connection.id, kConnections);
        receivedById[connection.id] = connection.received;
    }
    for (int id = 0; id < kConnections; ++id) {
        const StressClient::Connection& connection = client.all[id];
        SCOPED_TRACE(id);
        EXPECT_EQ(connection.closes, 1);
        if (connection.serverClosesAfter < 0) {
            EXPECT_EQ(connection.echoed, connection.frames);
            EXPECT_EQ(receivedById[id], connection.frames);
        } else {
            EXPECT_LE(connection.echoed, connection.serverClosesAfter);
            EXPECT_GE(receivedById[id], connection.serverClosesAfter + 1);
        }
    }
}
