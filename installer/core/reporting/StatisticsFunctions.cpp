#include "installer/core/reporting/StatisticsFunctions.h"

#include "installer/core/reporting/CGameShieldResolver.h"
#include "installer/core/reporting/CStatisticsServerConnection.h"
#include "installer/core/rules/BuildSettings.h"

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

} // namespace

void SetStatisticsServerEndpoint(const tagStatisticsServerEndpoint& endpoint)
{
    Endpoint() = endpoint;
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
