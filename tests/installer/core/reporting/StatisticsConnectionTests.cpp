// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "installer/core/reporting/CNetworkMessageCache.h"
#include "installer/core/reporting/CStatisticsServerConnection.h"
#include "installer/core/reporting/StatisticsFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/system/ISystemInfo.h"
#include "engine/network/PacketFormat.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using RVGameEngine::Common::TIntrusivePointer;

namespace {

using InstallerTests::Hex;

RVTest::WinsockScope g_winsock;

// The statistics server's record lines of its newest connection, as
// "<kind> <rest>" without the connection number.
std::vector<std::string> LinesOfNewestConnection()
{
    std::vector<std::string> lines;
    int newest = -1;
    for (const std::string& line : InstallerTests::PeerRecordLines("RV_STAT_RECORD")) {
        std::istringstream words(line);
        std::string kind, rest;
        int connection = 0;
        words >> kind >> connection;
        std::getline(words, rest);
        if (kind == "open") {
            newest = connection;
            lines.clear();
        }
        if (connection == newest)
            lines.push_back(kind + rest);
    }
    return lines;
}

// A logging connection started towards the address, with its events counted.
struct StartedConnection
{
    explicit StartedConnection(const std::string& address) : connection(new CStatisticsServerConnection)
    {
        using Self = StartedConnection;
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECTED, this, &Self::Count<&Self::connected>);
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECT_FAILED, this, &Self::Count<&Self::failed>);
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CLOSED, this, &Self::Count<&Self::closed>);
        connection->EnableLogging(true);
        connection->Connect(address.c_str());
    }
    ~StartedConnection() { connection->RemoveObjectDelegates(this); }

    template <int StartedConnection::*Counter>
    void Count(void*, RVGameEngine::Common::tagEventArgs*)
    {
        ++(this->*Counter);
    }
    bool UpdateUntil(const std::function<bool()>& condition, uint32_t limitMs = 5000)
    {
        return RVTest::WaitFor([&] {
            connection->Update();
            return condition();
        }, limitMs);
    }

    TIntrusivePointer<CStatisticsServerConnection> connection;
    int connected = 0;
    int failed = 0;
    int closed = 0;
};

// The system information record in hex, zero-filled around its fields.
std::string ExpectedRecord(const std::string& address, uint32_t step, const std::string& partner)
{
    std::string expected(kSystemInfoRecordSize, '\0');
    expected.replace(0, address.size(), address);
    expected[28] = static_cast<char>(step);
    expected.replace(32, partner.size(), partner);
    return Hex(expected);
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace

TEST(SystemInfoRecord, FieldsAreZeroTerminatedAndPartnerIsCutAtCharacterBoundaries)
{
    struct Case
    {
        std::string hardwareAddress;
        uint32_t step;
        std::wstring partner;
        std::string expectedAddressField; // without the zero fill
        std::string expectedPartnerField;
    };
    const Case cases[] = {
        {"00AABBCCDDEE", 1, L"合作", "00AABBCCDDEE", "\xba\xcf\xd7\xf7"},
        // Exactly 15 narrow bytes fill the field up to its terminator.
        {"0A0B0C0D0E0F", 2, L"ABCDEFGHIJKLMNO", "0A0B0C0D0E0F", "ABCDEFGHIJKLMNO"},
        // Eight two-byte characters need 16 bytes: the eighth is left out whole.
        {"", 0, L"合作伙伴渠道测试", "", "\xba\xcf\xd7\xf7\xbb\xef\xb0\xe9\xc7\xfe\xb5\xc0\xb2\xe2"},
        // An odd cut: 13 ASCII bytes and a two-byte character still fit, the next not.
        {"", 0, L"ABCDEFGHIJKLM合作", "", "ABCDEFGHIJKLM\xba\xcf"},
        // An over-long address text keeps 23 characters and its terminator.
        {std::string(30, 'F'), 0, L"", std::string(23, 'F'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedPartnerField);
        uint8_t record[kSystemInfoRecordSize];
        memset(record, 0xCC, sizeof record);
        BuildSystemInfoRecord(c.hardwareAddress, c.step, c.partner, record);
        EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(record), sizeof record)),
                  ExpectedRecord(c.expectedAddressField, c.step, c.expectedPartnerField));
    }
    // The address word holds the first byte lowest.
    EXPECT_EQ(FormatIPv4Address(0xFFFEFDFCu, 45201), "252.253.254.255:45201");
}

TEST(NetworkMessageCache, KeepsOrderCopiesBytesAndIsBounded)
{
    TIntrusivePointer<CNetworkMessageCache> cache(new CNetworkMessageCache);
    uint8_t bytes[3] = {1, 2, 3};
    ASSERT_TRUE(cache->Add(108, 6, 3, bytes));
    bytes[0] = 9;
    ASSERT_TRUE(cache->Add(0, 7, 0, nullptr));
    TIntrusivePointer<CNetworkMessageCacheItem> first = cache->Take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(cache->Take()->subCommand, 7);
    EXPECT_FALSE(cache->Take());

    for (size_t i = 0; i < CNetworkMessageCache::kMaxItems; ++i)
        ASSERT_TRUE(cache->Add(1, 1, 0, nullptr));
    RVTest::LogCapture log;
    EXPECT_FALSE(cache->Add(1, 2, 0, nullptr));
    EXPECT_EQ(cache->GetCount(), CNetworkMessageCache::kMaxItems);
    EXPECT_EQ(log.CountContaining(L"dropped"), 1);
}

TEST(StatisticsConnection, AnswersTheProbeItselfAndLogsWithItsCommandNames)
{
    RVTest::LogCapture log;
    const std::string address = RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT"));
    StartedConnection started(address);
    CStatisticsServerConnection* connection = started.connection.Get();
    ASSERT_TRUE(started.UpdateUntil([&] { return started.connected == 1; }));
    const uint32_t socket = connection->GetSocket();
    EXPECT_EQ(log.CountContaining(L"连接服务器" + Wide(address) + L"成功,套接字" + std::to_wstring(socket)), 1);

    // The probe comes back as an empty main 0 / sub 1 message and is not passed on.
    ASSERT_TRUE(started.UpdateUntil([&] {
        const std::vector<std::string> lines = LinesOfNewestConnection();
        return std::find(lines.begin(), lines.end(), "msg 0 1 ") != lines.end();
    }));
    EXPECT_EQ(log.CountContaining(L"向ROUTER_SERVER发送 主命令=MAIN_CORE_COMMAND 子命令=SUB_CORE_DETECT_SOCKET 大小=0"), 1);
    EXPECT_EQ(log.CountContaining(L"从ROUTER_SERVER接收"), 0);

    // Any other message from the server is logged and taken.
    const uint8_t reply[] = {0, 108, 0, 1, 0, 2, 0, 'h', 'i'};
    ASSERT_TRUE(connection->SendMessage(socket, 0xF0F0, 4, reply, sizeof reply));
    ASSERT_TRUE(started.UpdateUntil([&] { return log.CountContaining(L"从ROUTER_SERVER接收") == 1; }));
    EXPECT_EQ(log.CountContaining(L"从ROUTER_SERVER接收 主命令=MAIN_WM_STATISTICS 子命令=SUB_WM_STATISTICS_SYSTEM_INFO 大小=2"), 1);

    // Two close requests close once.
    connection->RequestClose();
    connection->RequestClose();
    ASSERT_TRUE(started.UpdateUntil([&] { return started.closed == 1; }));
    Sleep(200);
    connection->Update();
    EXPECT_EQ(started.closed, 1);
    EXPECT_EQ(log.CountContaining(L"与" + std::to_wstring(socket) + L"的连接断开"), 1);
}

TEST(StatisticsConnection, RefusedServerGivesOneFailedEventAndNoRetry)
{
    RVTest::LogCapture log;
    const std::string address = RVTest::LoopbackAddress(RVTest::PeerPort("RV_REFUSED_PORT"));
    StartedConnection started(address);
    ASSERT_TRUE(started.UpdateUntil([&] { return started.failed > 0; }));
    started.UpdateUntil([] { return false; }, 1500);
    EXPECT_EQ(started.failed, 1);
    EXPECT_EQ(started.connected, 0);
    EXPECT_EQ(log.CountContaining(L"连接服务器" + Wide(address) + L"失败"), 1);
    // Messages asked for meanwhile wait, bounded, for a connection.
    EXPECT_TRUE(started.connection->SendSystemInfo(kStatisticsStepStarted));
    EXPECT_EQ(started.connection->GetCachedCount(), 1u);
}

TEST(StatisticsConnection, StartMessageAskedForBeforeTheConnectLeavesOnceItIsUp)
{
    const int port = RVTest::PeerPort("RV_STAT_PORT");
    SetStatisticsServerEndpoint({"127.0.0.1", port, port});
    InitStatisticsServerConnection();
    SendStatisticsSystemInfo(kStatisticsStepStarted);
    CStatisticsServerConnection* connection = CStatisticsServerConnection::GetInstance();
    ASSERT_TRUE(RVTest::WaitFor([&] {
        connection->Update();
        return !connection->IsDisconnected() && connection->GetCachedCount() == 0;
    }));
    SendStatisticsSystemInfo(kStatisticsStepInstallBegun);

    std::vector<std::string> lines, messages;
    ASSERT_TRUE(RVTest::WaitFor([&] {
        lines = LinesOfNewestConnection();
        messages.clear();
        for (const std::string& line : lines)
            if (line.compare(0, 10, "msg 108 6 ") == 0)
                messages.push_back(line.substr(10));
        return messages.size() == 2;
    }));
    EXPECT_EQ(lines.front(), "open");
    const std::string mac = RVGameEngine::Common::ISystemInfo_GetInstance()->GetMACAddress()->GetAnsi();
    const std::string partner = NarrowTextCut(GetPartnerID(), 15);
    for (uint32_t step = 0; step < 2; ++step)
        EXPECT_EQ(messages[step], ExpectedRecord(mac.substr(0, 23), step, partner)) << step;
}

namespace {

// Holds the only reference to a connection and lets it go when it closes.
struct DropOnClose
{
    void OnClosed(void*, RVGameEngine::Common::tagEventArgs*) { held.Reset(); }
    TIntrusivePointer<CStatisticsServerConnection> held;
};

// Connects, asks for the close and updates until the handler dropped the
// connection; returns normally only when nothing touched it after that.
void DropTheConnectionFromItsClosedHandler()
{
    DropOnClose owner;
    owner.held = TIntrusivePointer<CStatisticsServerConnection>(new CStatisticsServerConnection);
    CStatisticsServerConnection* connection = owner.held.Get();
    connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CLOSED, &owner, &DropOnClose::OnClosed);
    connection->Connect(RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT")).c_str());
    if (!RVTest::WaitFor([&] {
            connection->Update();
            return !connection->IsDisconnected();
        }))
        std::exit(2);
    connection->RequestClose();
    // The connection is gone once the handler ran: it is not updated again.
    if (!RVTest::WaitFor([&] {
            if (owner.held)
                connection->Update();
            return !owner.held;
        }))
        std::exit(3);
}

} // namespace

// In a child of its own: a use of the freed connection ends that process
// with an access violation rather than this one.
TEST(StatisticsConnection, AClosedHandlerMayDropTheLastReference)
{
    EXPECT_EXIT(
        {
            DropTheConnectionFromItsClosedHandler();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace {

// Counts the probe answers it sends (through its logging hook).
class ProbeCountingConnection : public CStatisticsServerConnection
{
public:
    void LogMessage(bool sent, uint32_t, uint16_t mainCommand, uint16_t subCommand, const uint8_t*, uint32_t) override
    {
        if (sent && mainCommand == 0 && subCommand == 1)
            ++answered;
    }
    int answered = 0;
};

} // namespace

// A server that floods probes is answered in full, over as many updates as
// it takes, each update doing a bounded share; the connection stays up.
TEST(StatisticsConnection, AProbeFloodIsAnsweredInBoundedUpdates)
{
    constexpr int kProbes = 50000;
    constexpr int kPerRequest = 340;  // as many as one reply request holds
    TIntrusivePointer<ProbeCountingConnection> connection(new ProbeCountingConnection);
    connection->EnableLogging(true);
    connection->Connect(RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT")).c_str());
    ASSERT_TRUE(RVTest::WaitFor([&] {
        connection->Update();
        return connection->answered == 1;
    }));
    const uint32_t socket = connection->GetSocket();
    for (int asked = 0; asked < kProbes; asked += kPerRequest) {
        std::string request(1, '\0');
        for (int i = 0; i < std::min(kPerRequest, kProbes - asked); ++i)
            request += std::string(6, '\0');  // main 0, sub 1, no payload
        for (size_t at = 1; at < request.size(); at += 6)
            request[at + 2] = 1;
        ASSERT_TRUE(connection->SendMessage(socket, 0xF0F0, 4, reinterpret_cast<const uint8_t*>(request.data()),
                                            static_cast<uint16_t>(request.size())));
    }
    int most = 0;
    ASSERT_TRUE(RVTest::WaitFor([&] {
        const int before = connection->answered;
        connection->Update();
        most = std::max(most, connection->answered - before);
        return connection->answered == kProbes + 1;
    }, 120000)) << connection->answered;
    EXPECT_LE(most, static_cast<int>(RVGameEngine::Network::kMaxEventsPerUpdate));
    EXPECT_FALSE(connection->IsDisconnected());
    EXPECT_EQ(connection->GetSocket(), socket);
}

// Cached messages leave only once they went out: a flush into a connection
// that is ending keeps every one of them, and a later connection delivers
// them all, in the order they were asked for.
TEST(StatisticsConnection, AFailedFlushKeepsTheCachedMessagesInOrder)
{
    const std::string address = RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT"));
    TIntrusivePointer<CStatisticsServerConnection> connection(new CStatisticsServerConnection);
    const std::string payloads[] = {"first", "", "third"};
    for (uint16_t sub = 0; sub < 3; ++sub)
        ASSERT_TRUE(connection->SendMessage(RVGameEngine::Network::kInvalidNetworkSocket, 108, static_cast<uint16_t>(20 + sub),
                                            reinterpret_cast<const uint8_t*>(payloads[sub].data()),
                                            static_cast<uint16_t>(payloads[sub].size())));
    connection->Connect(address.c_str());
    ASSERT_TRUE(RVTest::WaitFor([&] {
        connection->Update();
        return !connection->IsDisconnected();
    }));
    // Closing: the socket is still the connection's until its closed event
    // comes, but nothing can be sent on it any more.
    connection->RequestClose();
    connection->FlushCache();
    EXPECT_EQ(connection->GetCachedCount(), 3u);

    connection->Connect(address.c_str());
    ASSERT_TRUE(RVTest::WaitFor([&] {
        connection->Update();
        return !connection->IsDisconnected();
    }));
    connection->FlushCache();
    EXPECT_EQ(connection->GetCachedCount(), 0u);
    std::vector<std::string> messages;
    ASSERT_TRUE(RVTest::WaitFor([&] {
        messages.clear();
        for (const std::string& line : LinesOfNewestConnection())
            if (line.compare(0, 8, "msg 108 ") == 0)
                messages.push_back(line);
        return messages.size() == 3;
    }));
    EXPECT_EQ(messages, (std::vector<std::string>{"msg 108 20 " + Hex("first"), "msg 108 21 ",
                                                  "msg 108 22 " + Hex("third")}));
}
