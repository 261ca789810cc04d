#include <winsock2.h>

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/network/INetwork.h"
#include "tests/servers/PeerEnvironment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;
using Common::TIntrusivePointer;

namespace {

RVTest::WinsockScope g_winsock;

// Steering messages of the test statistics server (see statserver.py).
constexpr uint16_t kControl = 0xF0F0;
constexpr uint16_t kControlClose = 2;
constexpr uint16_t kControlStall = 3;
constexpr uint16_t kControlReply = 4;
enum ReplyStyle : uint8_t { kWhole = 0, kByteByByte = 1, kFramePerWrite = 2, kDamagedCheck = 3, kRaw = 4 };

struct Happening
{
    int kind;
    uint32_t socket;
    bool success;
    uint16_t mainCommand;
    uint16_t subCommand;
    std::string payload;
};

// A client manager over the threaded driver that records every event.
class Client
{
public:
    // A client, or with an address a server listening there.
    explicit Client(const char* listenAddress = nullptr) : network(INetwork_Create())
    {
        started = listenAddress == nullptr ? network->StartClient(INetworkDriver_Socket_Create())
                                           : network->StartServer(INetworkDriver_Socket_Create(), listenAddress);
        for (int kind = 0; kind < 4; ++kind)
            network->AddMemberFunctionDelegate(kind, this, &Client::Record);
    }

    void Record(void*, Common::tagEventArgs* args)
    {
        Happening happening{};
        if (auto* accepted = dynamic_cast<tagNetworkClientAcceptedEventArgs*>(args)) {
            happening.kind = NETWORK_EVENT_CLIENT_ACCEPTED;
            happening.socket = accepted->socket;
        } else if (auto* result = dynamic_cast<tagNetworkConnectServerResultEventArgs*>(args)) {
            happening.kind = NETWORK_EVENT_CONNECT_RESULT;
            happening.socket = result->socket;
            happening.success = result->success;
        } else if (auto* closed = dynamic_cast<tagNetworkSocketClosedEventArgs*>(args)) {
            happening.kind = NETWORK_EVENT_SOCKET_CLOSED;
            happening.socket = closed->socket;
        } else if (auto* data = dynamic_cast<tagNetworkDataReceivedEventArgs*>(args)) {
            happening.kind = NETWORK_EVENT_DATA_RECEIVED;
            happening.socket = data->socket;
            happening.mainCommand = data->mainCommand;
            happening.subCommand = data->subCommand;
            happening.payload.assign(reinterpret_cast<const char*>(data->data), data->length);
        }
        seen.push_back(happening);
    }

    int Count(int kind) const
    {
        int count = 0;
        for (const Happening& happening : seen)
            count += happening.kind == kind ? 1 : 0;
        return count;
    }

    // Updates until `count` events of the kind have been raised (bounded).
    bool PumpUntil(int kind, int count, uint32_t limitMs = 5000)
    {
        return RVTest::WaitFor([&] {
            network->Update();
            return Count(kind) >= count;
        }, limitMs);
    }

    std::vector<Happening> Messages() const
    {
        std::vector<Happening> messages;
        for (const Happening& happening : seen)
            if (happening.kind == NETWORK_EVENT_DATA_RECEIVED)
                messages.push_back(happening);
        return messages;
    }

    // Connects to the statistics server and waits for its probe.
    uint32_t ConnectToServer()
    {
        const uint32_t socket = network->Connect(RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT")).c_str());
        if (socket != kInvalidNetworkSocket)
            PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1);
        return socket;
    }

    bool Control(uint32_t socket, uint16_t sub, const std::string& payload = std::string())
    {
        return network->Send(socket, kControl, sub, reinterpret_cast<const uint8_t*>(payload.data()),
                             static_cast<uint16_t>(payload.size()));
    }

    TIntrusivePointer<INetwork> network;
    bool started = false;
    std::vector<Happening> seen;
};

std::string Frame(uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
{
    std::string frame;
    for (uint16_t word : {mainCommand, subCommand, static_cast<uint16_t>(payload.size())}) {
        frame += static_cast<char>(word & 0xFF);
        frame += static_cast<char>(word >> 8);
    }
    return frame + payload;
}

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

// The statistics server's record lines of its newest connection, without the
// connection number ("msg <main> <sub> <hex>", "closed", ...).
std::vector<std::string> NewestConnectionRecord()
{
    std::istringstream record(RVTest::ReadPeerFile(RVTest::PeerVariable("RV_STAT_RECORD")));
    std::vector<std::pair<std::string, std::string>> entries;  // (connection, rest)
    std::string line, what, number, newest;
    while (std::getline(record, line)) {
        std::istringstream words(line);
        words >> what >> number;
        if (what == "open")
            newest = number;
        else
            entries.emplace_back(number, what + line.substr(what.size() + 1 + number.size()));
    }
    std::vector<std::string> lines;
    for (const auto& entry : entries)
        if (entry.first == newest)
            lines.push_back(entry.second);
    return lines;
}

uint32_t Elapsed(DWORD start)
{
    return GetTickCount() - start;
}

} // namespace

TEST(SocketDriver, ExchangesMessagesWithTheStatisticsServer)
{
    ASSERT_NE(RVTest::PeerPort("RV_STAT_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    Client client;
    const uint32_t socket = client.ConnectToServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_GE(client.seen.size(), 2u);
    EXPECT_EQ(client.seen[0].kind, NETWORK_EVENT_CONNECT_RESULT);
    EXPECT_TRUE(client.seen[0].success);
    EXPECT_EQ(client.seen[0].socket, socket);
    // The server's socket-detect probe, and our empty answer.
    ASSERT_EQ(client.Messages().size(), 1u);
    EXPECT_EQ(client.Messages()[0].mainCommand, 0);
    EXPECT_EQ(client.Messages()[0].subCommand, 1);
    EXPECT_EQ(client.Messages()[0].payload, "");
    ASSERT_TRUE(client.network->Send(socket, 0, 1, nullptr, 0));

    const std::string info(48, '\x5c');
    ASSERT_TRUE(client.network->Send(socket, 108, 6, reinterpret_cast<const uint8_t*>(info.data()), 48));
    const std::string largest(2046, '\xfe');
    ASSERT_TRUE(client.network->SendPacket(socket, 7, 8, reinterpret_cast<const uint8_t*>(largest.data()), 2046, true));

    // Replies written all at once, one byte at a time and one frame per write
    // each arrive whole and in order.
    const std::string replies = Frame(9, 1, "first") + Frame(9, 2, "") + Frame(9, 3, std::string(1500, 'z'));
    for (char style : {kWhole, kByteByByte, kFramePerWrite})
        ASSERT_TRUE(client.Control(socket, kControlReply, std::string(1, style) + replies));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 10, 20000));
    const std::vector<Happening> messages = client.Messages();
    for (size_t i = 1; i < messages.size(); ++i) {
        const size_t index = (i - 1) % 3;
        EXPECT_EQ(messages[i].mainCommand, 9);
        EXPECT_EQ(messages[i].subCommand, index + 1);
        EXPECT_EQ(messages[i].payload.size(), index == 0 ? 5u : index == 1 ? 0u : 1500u);
    }

    const std::vector<std::string> expected = {"msg 0 1 ", "msg 108 6 " + Hex(info), "msg 7 8 " + Hex(largest)};
    std::vector<std::string> recorded = NewestConnectionRecord();
    recorded.resize(std::min<size_t>(recorded.size(), 3));
    EXPECT_EQ(recorded, expected);
    EXPECT_GE(client.network->GetBytesReceived(), 8u + 3 * (3 * 8 + 5 + 1500));
}

TEST(SocketDriver, DamagedFramesFromTheServerMarkTheConnectionBad)
{
    const std::string frames[] = {
        std::string(1, kDamagedCheck) + Frame(3, 3, "damaged") + Frame(3, 4, "after"),
        std::string(1, kRaw) + std::string("\x05\x00\x00\x02\x00\x00\x00\x00", 8),
        std::string(1, kRaw) + std::string("\x07\x08\x00\x02", 4) + std::string(2000, 'x'),
    };
    for (const std::string& reply : frames) {
        Client client;
        const uint32_t socket = client.ConnectToServer();
        ASSERT_NE(socket, kInvalidNetworkSocket);
        ASSERT_TRUE(client.Control(socket, kControlReply, std::string(1, kWhole) + Frame(3, 2, "good")));
        ASSERT_TRUE(client.Control(socket, kControlReply, reply));
        ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 2));
        // Bad: the manager refuses to send on it.
        ASSERT_TRUE(RVTest::WaitFor([&] { return !client.network->Send(socket, 1, 1, nullptr, 0); }));
        client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 3, 300);
        EXPECT_EQ(client.Messages().size(), 2u);
        client.network->Close(socket);
        EXPECT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    }
}

TEST(SocketDriver, FailedConnectsReportFailureWithinTheTimeLimit)
{
    const int ports[] = {RVTest::PeerPort("RV_REFUSED_PORT"), RVTest::PeerPort("RV_BLACKHOLE_PORT")};
    for (int port : ports) {
        SCOPED_TRACE(port);
        ASSERT_NE(port, 0);
        Client client;
        const DWORD start = GetTickCount();
        EXPECT_EQ(client.network->Connect(RVTest::LoopbackAddress(port).c_str()), kInvalidNetworkSocket);
        EXPECT_LE(Elapsed(start), 3600u);
        client.network->Update();
        ASSERT_EQ(client.seen.size(), 1u);
        EXPECT_EQ(client.seen[0].kind, NETWORK_EVENT_CONNECT_RESULT);
        EXPECT_FALSE(client.seen[0].success);
    }

    // Addresses that cannot be used are refused without a connect attempt.
    Client client;
    const std::string noPort = "127.0.0.1";
    const std::string tooLong = "127.0.0.1:" + std::string(995, '1');
    EXPECT_EQ(client.network->Connect(noPort.c_str()), kInvalidNetworkSocket);
    EXPECT_EQ(client.network->Connect(tooLong.c_str()), kInvalidNetworkSocket);
    client.network->Update();
    EXPECT_TRUE(client.seen.empty());
}

TEST(SocketDriver, ConnectAsyncByNameReportsThroughUpdate)
{
    Client client;
    client.network->ConnectAsync(("localhost:" + std::to_string(RVTest::PeerPort("RV_STAT_PORT"))).c_str());
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_CONNECT_RESULT, 1));
    EXPECT_TRUE(client.seen[0].success);
    EXPECT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    client.network->Close(client.seen[0].socket);
    EXPECT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
}

// However a connection ends - the peer hangs up, we close it, or we close it
// while the peer stalls - exactly one closed event follows, and a stalled
// peer never holds up Update.
TEST(SocketDriver, EveryCloseIsReportedExactlyOnce)
{
    enum Ending { kPeerCloses, kWeClose, kWeCloseStalledPeer };
    for (Ending ending : {kPeerCloses, kWeClose, kWeCloseStalledPeer}) {
        SCOPED_TRACE(ending);
        Client client;
        const uint32_t socket = client.ConnectToServer();
        ASSERT_NE(socket, kInvalidNetworkSocket);
        if (ending == kPeerCloses) {
            ASSERT_TRUE(client.Control(socket, kControlClose));
        } else if (ending == kWeCloseStalledPeer) {
            ASSERT_TRUE(client.Control(socket, kControlStall));
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
        EXPECT_FALSE(client.network->Send(socket, 1, 1, nullptr, 0));
    }
}

// A manager listening on its own port, with a second manager as its client.
TEST(SocketDriver, ServerAcceptsClientsAndStopsQuietly)
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

    Client server(address.c_str());
    ASSERT_TRUE(server.started);

    Client client;
    const uint32_t toServer = client.network->Connect(address.c_str());
    ASSERT_NE(toServer, kInvalidNetworkSocket);
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 1));
    const uint32_t accepted = server.seen[0].socket;
    ASSERT_TRUE(client.network->Send(toServer, 1, 2, reinterpret_cast<const uint8_t*>("up"), 2));
    ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(server.Messages()[0].payload, "up");
    ASSERT_TRUE(server.network->Send(accepted, 3, 4, reinterpret_cast<const uint8_t*>("down"), 4));
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_DATA_RECEIVED, 1));
    EXPECT_EQ(client.Messages()[0].payload, "down");

    // After StopListening the open connection reports nothing more.
    server.network->StopListening();
    ASSERT_TRUE(client.network->Send(toServer, 1, 2, reinterpret_cast<const uint8_t*>("late"), 4));
    client.network->Close(toServer);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    server.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1, 500);
    EXPECT_EQ(server.Messages().size(), 1u);
    EXPECT_EQ(server.Count(NETWORK_EVENT_SOCKET_CLOSED), 0);
    EXPECT_EQ(client.network->Connect(address.c_str()), kInvalidNetworkSocket);
}

// The driver closes only sockets it made: a number it does not own (here a
// socket of the test's own) is left alone.
TEST(SocketDriver, CloseLeavesForeignSocketsAlone)
{
    Client client;
    SOCKET own = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(own, INVALID_SOCKET);
    client.network->Close(static_cast<uint32_t>(own));
    int type = 0;
    int length = sizeof(type);
    EXPECT_EQ(getsockopt(own, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length), 0);
    EXPECT_EQ(type, SOCK_STREAM);
    closesocket(own);
}
