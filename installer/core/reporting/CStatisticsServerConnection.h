#pragma once

#include "installer/core/reporting/CNetworkMessageCache.h"
#include "installer/core/reporting/CServerConnection.h"

#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>
#include <string>

// The installer's client connection to the statistics server. Messages given
// to SendMessage while there is no socket wait in a bounded cache and leave,
// in order, once the connection is up (FlushCache).
class CStatisticsServerConnection : public CServerConnection
{
public:
    static constexpr uint16_t kStatisticsMainCommand = 108;
    static constexpr uint16_t kSystemInfoSubCommand = 6;

    // The process's connection, made on first use and never closed.
    static CStatisticsServerConnection* GetInstance();

    CStatisticsServerConnection();

    // Without a socket the message is cached (true unless the cache refuses it).
    bool SendMessage(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                     uint16_t size) override;
    // Logged, then taken: the installer expects nothing from the server.
    bool OnMessageReceived(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const uint8_t* data,
                           uint32_t size) override;
    void GetCommandNames(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, std::string* peerName,
                         std::string* mainName, std::string* subName) override;

    void FlushCache();
    // Sends (or caches) one system-information message for the install step;
    // true whatever became of it.
    bool SendSystemInfo(uint32_t step);
    size_t GetCachedCount() const { return m_cache->GetCount(); }

private:
    RVGameEngine::Common::TIntrusivePointer<CNetworkMessageCache> m_cache;
};
