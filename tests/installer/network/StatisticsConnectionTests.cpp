// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "installer/core/CNetworkMessageCache.h"
#include "installer/core/CStatisticsServerConnection.h"
#include "installer/core/PartnerFunctions.h"
#include "installer/core/StatisticsFunctions.h"

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/system/ISystemInfo.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using RVGameEngine::Common::TIntrusivePointer;

namespace {

using InstallerTests::Hex;

RVTest::WinsockScope g_winsock;

std::vector<std::string> StatRecordLines()
{
    return InstallerTests::PeerRecordLines("RV_STAT_RECORD");
}



// The record lines of one server-side connection, without the "<kind> <n>" head.
std::vector<std::string> LinesOfConnection(int number)
{
    std::vector<std::string> lines;
    for (const std::string& line : StatRecordLines()) {
        std::istringstream words(line);
        std::string kind;
        int connection = 0;
        words >> kind >> connection;
        if (connection == number) {
            std::string rest;
            std::getline(words, rest);
            lines.push_back(kind + rest);
        }
    }
    return lines;
}

int NewestConnectionNumber()
{
    int newest = 0;
    for (const std::string& line : StatRecordLines())
        if (line.compare(0, 5, "open ") == 0)
            newest = std::atoi(line.c_str() + 5);
    return newest;
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted)
{
    for (const std::string& line : lines)
        if (line == wanted)
            return true;
    return false;
}

// Counts the connection's events.
struct EventCounter
{
    int connected = 0;
    int failed = 0;
    int closed = 0;
    void OnConnected(void*, RVGameEngine::Common::tagEventArgs*) { ++connected; }
    void OnFailed(void*, RVGameEngine::Common::tagEventArgs*) { ++failed; }
    void OnClosed(void*, RVGameEngine::Common::tagEventArgs*) { ++closed; }

    explicit EventCounter(CServerConnection* connection) : m_connection(connection)
    {
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECTED, this, &EventCounter::OnConnected);
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECT_FAILED, this, &EventCounter::OnFailed);
        connection->AddMemberFunctionDelegate(SERVER_CONNECTION_EVENT_CLOSED, this, &EventCounter::OnClosed);
    }
    ~EventCounter() { m_connection->RemoveObjectDelegates(this); }

private:
    CServerConnection* m_connection;
};

TIntrusivePointer<CStatisticsServerConnection> NewStatisticsConnection()
{
    TIntrusivePointer<CStatisticsServerConnection> connection(new CStatisticsServerConnection);
    connection->EnableLogging(true);
    return connection;
}

bool UpdateUntil(CServerConnection* connection, const std::function<bool()>& condition)
{
    return RVTest::WaitFor([&] {
        connection->Update();
        return condition();
    });
}

std::string StatAddress()
{
    return RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT"));
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
        std::string expected(kSystemInfoRecordSize, '\0');
        expected.replace(0, c.expectedAddressField.size(), c.expectedAddressField);
        expected[28] = static_cast<char>(c.step);
        expected.replace(32, c.expectedPartnerField.size(), c.expectedPartnerField);
        EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(record), sizeof record)), Hex(expected));
    }
}

TEST(NetworkMessageCache, KeepsOrderCopiesBytesAndIsBounded)
{
    TIntrusivePointer<CNetworkMessageCache> cache(new CNetworkMessageCache);
    EXPECT_FALSE(cache->Take());
    uint8_t bytes[3] = {1, 2, 3};
    ASSERT_TRUE(cache->Add(108, 6, 3, bytes));
    bytes[0] = 9;
    ASSERT_TRUE(cache->Add(108, 7, 0, nullptr));
    ASSERT_TRUE(cache->Add(0, 1, 1, bytes));
    TIntrusivePointer<CNetworkMessageCacheItem> first = cache->Take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->subCommand, 6);
    EXPECT_EQ(first->data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(cache->Take()->subCommand, 7);
    EXPECT_EQ(cache->Take()->mainCommand, 0);
    EXPECT_FALSE(cache->Take());

    for (size_t i = 0; i < CNetworkMessageCache::kMaxItems; ++i)
        ASSERT_TRUE(cache->Add(1, 1, 0, nullptr));
    RVTest::LogCapture log;
    EXPECT_FALSE(cache->Add(1, 2, 0, nullptr));
    EXPECT_EQ(cache->GetCount(), CNetworkMessageCache::kMaxItems);
    EXPECT_EQ(log.CountContaining(L"dropped"), 1);
}

TEST(ServerConnection, FormatsTheAddressWordLowestByteFirst)
{
    EXPECT_EQ(FormatIPv4Address(0x0100007Fu, 45201), "127.0.0.1:45201");
    EXPECT_EQ(FormatIPv4Address(0xFFFEFDFCu, 0), "252.253.254.255:0");
}

TEST(StatisticsConnection, AnswersTheProbeItselfAndLogsWithItsCommandNames)
{
    RVTest::LogCapture log;
    TIntrusivePointer<CStatisticsServerConnection> connection = NewStatisticsConnection();
    EventCounter events(connection.Get());
    const std::string address = StatAddress();
    connection->Connect(address.c_str());
    ASSERT_TRUE(UpdateUntil(connection.Get(), [&] { return events.connected == 1; }));
    const int server = NewestConnectionNumber();
    const std::wstring wideAddress(address.begin(), address.end());
    EXPECT_EQ(log.CountContaining(L"连接服务器" + wideAddress + L"成功,套接字" + std::to_wstring(connection->GetSocket())), 1);

    // The probe comes back as an empty main 0 / sub 1 message and is not passed on.
    ASSERT_TRUE(UpdateUntil(connection.Get(), [&] { return Contains(LinesOfConnection(server), "msg 0 1 "); }));
    EXPECT_EQ(log.CountContaining(L"向ROUTER_SERVER发送 主命令=MAIN_CORE_COMMAND 子命令=SUB_CORE_DETECT_SOCKET 大小=0"), 1);
    EXPECT_EQ(log.CountContaining(L"从ROUTER_SERVER接收"), 0);

    // Any other message from the server is logged and taken.
    const uint8_t reply[] = {0, 108, 0, 1, 0, 2, 0, 'h', 'i'};
    ASSERT_TRUE(connection->SendMessage(connection->GetSocket(), 0xF0F0, 4, reply, sizeof reply));
    ASSERT_TRUE(UpdateUntil(connection.Get(), [&] { return log.CountContaining(L"从ROUTER_SERVER接收") == 1; }));
    EXPECT_EQ(log.CountContaining(L"从ROUTER_SERVER接收 主命令=MAIN_WM_STATISTICS 子命令=SUB_WM_STATISTICS_SYSTEM_INFO 大小=2"), 1);

    // Two close requests close once.
    const uint32_t socket = connection->GetSocket();
    connection->RequestClose();
    connection->RequestClose();
    ASSERT_TRUE(UpdateUntil(connection.Get(), [&] { return events.closed == 1; }));
    EXPECT_TRUE(connection->IsDisconnected());
    Sleep(200);
    connection->Update();
    EXPECT_EQ(events.closed, 1);
    EXPECT_EQ(log.CountContaining(L"与" + std::to_wstring(socket) + L"的连接断开"), 1);
}

TEST(StatisticsConnection, RefusedServerGivesOneFailedEventAndNoRetry)
{
    RVTest::LogCapture log;
    TIntrusivePointer<CStatisticsServerConnection> connection = NewStatisticsConnection();
    EventCounter events(connection.Get());
    const std::string address = RVTest::LoopbackAddress(RVTest::PeerPort("RV_REFUSED_PORT"));
    connection->Connect(address.c_str());
    ASSERT_TRUE(UpdateUntil(connection.Get(), [&] { return events.failed > 0; }));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
        connection->Update();
        Sleep(20);
    }
    EXPECT_EQ(events.failed, 1);
    EXPECT_EQ(events.connected, 0);
    EXPECT_TRUE(connection->IsDisconnected());
    EXPECT_EQ(log.CountContaining(L"连接服务器" + std::wstring(address.begin(), address.end()) + L"失败"), 1);
    // Messages asked for meanwhile wait, bounded, for a connection.
    EXPECT_TRUE(connection->SendSystemInfo(kStatisticsStepStarted));
    EXPECT_EQ(connection->GetCachedCount(), 1u);
}

TEST(StatisticsConnection, StartMessageAskedForBeforeTheConnectLeavesOnceItIsUp)
{
    const int port = RVTest::PeerPort("RV_STAT_PORT");
    SetStatisticsServerEndpoint({"127.0.0.1", port, port});
    InitStatisticsServerConnection();
    SendStatisticsSystemInfo(kStatisticsStepStarted);
    CStatisticsServerConnection* connection = CStatisticsServerConnection::GetInstance();
    ASSERT_TRUE(UpdateUntil(connection, [&] { return !connection->IsDisconnected() && connection->GetCachedCount() == 0; }));
    SendStatisticsSystemInfo(kStatisticsStepInstallBegun);

    const int server = NewestConnectionNumber();
    std::vector<std::string> messages;
    ASSERT_TRUE(RVTest::WaitFor([&] {
        messages.clear();
        for (const std::string& line : LinesOfConnection(server))
            if (line.compare(0, 10, "msg 108 6 ") == 0)
                messages.push_back(line.substr(10));
        return messages.size() == 2;
    }));
    EXPECT_EQ(LinesOfConnection(server).front(), "open");
    const std::string mac = RVGameEngine::Common::ISystemInfo_GetInstance()->GetMACAddress()->GetAnsi();
    for (uint32_t step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        std::string expected(kSystemInfoRecordSize, '\0');
        expected.replace(0, std::min<size_t>(mac.size(), 23), mac.substr(0, 23));
        expected[28] = static_cast<char>(step);
        const std::string partner = NarrowTextCut(GetPartnerID(), 15);
        expected.replace(32, partner.size(), partner);
        EXPECT_EQ(messages[step], Hex(expected));
    }
}
