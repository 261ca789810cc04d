#include "installer/core/reporting/CStatisticsServerConnection.h"

#include "installer/core/reporting/SystemInfoRecord.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/system/ISystemInfo.h"

#include <new>

using RVGameEngine::Common::ISystemInfo_GetInstance;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::Network::kInvalidNetworkSocket;

CStatisticsServerConnection* CStatisticsServerConnection::GetInstance()
{
    static CStatisticsServerConnection* instance = [] {
        auto* connection = new CStatisticsServerConnection;
        connection->AddRef();
        connection->EnableLogging(true);
        return connection;
    }();
    return instance;
}

CStatisticsServerConnection::CStatisticsServerConnection() : m_cache(new (std::nothrow) CNetworkMessageCache)
{
}

bool CStatisticsServerConnection::SendMessage(uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                              const uint8_t* data, uint16_t size)
{
    if (IsDisconnected())
        return m_cache && m_cache->Add(mainCommand, subCommand, size, data);
    return CServerConnection::SendMessage(socket, mainCommand, subCommand, data, size);
}

bool CStatisticsServerConnection::OnMessageReceived(uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                                    const uint8_t* data, uint32_t size)
{
    CServerConnection::OnMessageReceived(socket, mainCommand, subCommand, data, size);
    return true;
}

void CStatisticsServerConnection::GetCommandNames(uint32_t socket, uint16_t mainCommand, uint16_t subCommand,
                                                  std::string* peerName, std::string* mainName,
                                                  std::string* subName)
{
    CServerConnection::GetCommandNames(socket, mainCommand, subCommand, peerName, mainName, subName);
    *peerName = "ROUTER_SERVER";
    if (mainCommand == 0) {
        *mainName = "MAIN_CORE_COMMAND";
        if (subCommand == 1)
            *subName = "SUB_CORE_DETECT_SOCKET";
    } else if (mainCommand == kStatisticsMainCommand) {
        *mainName = "MAIN_WM_STATISTICS";
        if (subCommand == 1)
            *subName = "SUB_WM_STATISTICS_SYSTEM_INFO";
    }
}

void CStatisticsServerConnection::FlushCache()
{
    while (m_cache && !IsDisconnected()) {
        TIntrusivePointer<CNetworkMessageCacheItem> item = m_cache->Peek();
        if (!item)
            return;
        // A message leaves the cache only once it went out: after a failed
        // send the connection is ending, and it and everything behind it
        // wait, in order, rather than being counted as delivered.
        if (!CServerConnection::SendMessage(GetSocket(), item->mainCommand, item->subCommand,
                                            item->size == 0 ? nullptr : item->data.data(), item->size))
            return;
        m_cache->Take();
    }
}

bool CStatisticsServerConnection::SendSystemInfo(uint32_t step)
{
    uint8_t record[kSystemInfoRecordSize];
    TIntrusivePointer<RVGameEngine::Common::IString> address = ISystemInfo_GetInstance()->GetMACAddress();
    BuildSystemInfoRecord(address ? address->GetAnsi() : "", step, GetPartnerID(), record);
    // Before the connection is up the message waits in the cache: the start
    // message is asked for right after the connect begins.
    SendMessage(GetSocket(), kStatisticsMainCommand, kSystemInfoSubCommand, record,
                static_cast<uint16_t>(kSystemInfoRecordSize));
    return true;
}
