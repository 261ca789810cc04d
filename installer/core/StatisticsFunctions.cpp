#include "installer/core/StatisticsFunctions.h"

#include "installer/core/BuildSettings.h"
#include "installer/core/CGameShieldResolver.h"
#include "installer/core/CStatisticsServerConnection.h"

#include "engine/common/base/TextCodec.h"
#include "engine/math/RandomFunctions.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

using RVGameEngine::Common::kCodePageAnsi;
using RVGameEngine::Common::tagEventArgs;
using RVGameEngine::Common::WideToNarrow;

namespace {

bool g_connectFailed = false;

void OnStatisticsServerConnectFailed(void*, tagEventArgs*)
{
    g_connectFailed = true;
}

tagStatisticsServerEndpoint& Endpoint()
{
    static tagStatisticsServerEndpoint endpoint{kStatisticsShieldHost, kStatisticsFirstPort, kStatisticsLastPort};
    return endpoint;
}

// Copies at most fieldSize - 1 bytes, so the field always ends in a zero.
void CopyIntoField(uint8_t* field, size_t fieldSize, const std::string& text)
{
    memcpy(field, text.data(), std::min(text.size(), fieldSize - 1));
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

void SetStatisticsServerEndpoint(const tagStatisticsServerEndpoint& endpoint)
{
    Endpoint() = endpoint;
}

std::string NarrowTextCut(const std::wstring& text, size_t maxBytes)
{
    std::string narrow;
    for (size_t at = 0; at < text.size();) {
        const size_t units = IsHighSurrogate(text[at]) && at + 1 < text.size() ? 2 : 1;
        const std::string piece = WideToNarrow(kCodePageAnsi, text.substr(at, units).c_str());
        if (narrow.size() + piece.size() > maxBytes)
            break;
        narrow += piece;
        at += units;
    }
    return narrow;
}

void BuildSystemInfoRecord(const std::string& hardwareAddress, uint32_t step, const std::wstring& partnerID,
                           uint8_t* record)
{
    memset(record, 0, kSystemInfoRecordSize);
    CopyIntoField(record, kHardwareAddressFieldSize, hardwareAddress);
    const uint32_t reserved = 0;
    memcpy(record + 24, &reserved, sizeof reserved);
    memcpy(record + 28, &step, sizeof step);
    CopyIntoField(record + 32, kPartnerIDFieldSize, NarrowTextCut(partnerID, kPartnerIDFieldSize - 1));
}

void InitStatisticsServerConnection()
{
    const tagStatisticsServerEndpoint& endpoint = Endpoint();
    std::string address = std::string(kStatisticsServerHost) + ":" + std::to_string(endpoint.firstPort);
    const std::string answer =
        CGameShieldResolver::GetInstance()->ResolveAddress(kStatisticsShieldAccessToken, endpoint.host.c_str());
    if (!answer.empty()) {
        const int32_t port = RVGameEngine::Math::RandomInt(endpoint.firstPort, endpoint.lastPort);
        address = answer + ":" + std::to_string(port);
    }
    CStatisticsServerConnection* connection = CStatisticsServerConnection::GetInstance();
    connection->AddGlobalFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECTED, OnStatisticsServerConnected);
    connection->AddGlobalFunctionDelegate(SERVER_CONNECTION_EVENT_CONNECT_FAILED, OnStatisticsServerConnectFailed);
    connection->Connect(address.c_str());
    connection->Update();
}

void OnStatisticsServerConnected(void*, tagEventArgs*)
{
    CStatisticsServerConnection::GetInstance()->FlushCache();
}

void SendStatisticsSystemInfo(uint32_t step)
{
    CStatisticsServerConnection::GetInstance()->SendSystemInfo(step);
}

void WaitForStatisticsDelivery(uint32_t limitMs)
{
    CStatisticsServerConnection* connection = CStatisticsServerConnection::GetInstance();
    const DWORD start = GetTickCount();
    for (;;) {
        connection->Update();
        if (g_connectFailed || (!connection->IsDisconnected() && connection->GetCachedCount() == 0))
            return;
        if (GetTickCount() - start >= limitMs)
            return;
        Sleep(10);
    }
}
