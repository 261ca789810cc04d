#pragma once

// The installer's reports to the statistics server.

#include "installer/core/reporting/SystemInfoRecord.h"

#include "engine/common/base/EventArgs.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Install steps reported in the system-information message.
constexpr uint32_t kStatisticsStepStarted = 0;
constexpr uint32_t kStatisticsStepInstallBegun = 1;
constexpr uint32_t kStatisticsStepInstallFinished = 2;

constexpr int32_t kStatisticsFirstPort = 45201;
constexpr int32_t kStatisticsLastPort = 45204;

// Where InitStatisticsServerConnection connects: the host (or group name
// for the resolver) and the range its port is drawn from. The build's
// addresses by default; tests point it at their own server.
struct tagStatisticsServerEndpoint
{
    std::string host;
    int32_t firstPort = kStatisticsFirstPort;
    int32_t lastPort = kStatisticsLastPort;
};
void SetStatisticsServerEndpoint(const tagStatisticsServerEndpoint& endpoint);

// Chooses the address and starts connecting; once per process.
void InitStatisticsServerConnection();
// Connected-event handler: sends what waited for the connection.
void OnStatisticsServerConnected(void* sender, RVGameEngine::Common::tagEventArgs* args);
void SendStatisticsSystemInfo(uint32_t step);
// Handles the connection's events until the waiting messages have left, the
// connect has failed or the time is up; before the program ends, so that
// what was asked for before the connection came up is not lost.
void WaitForStatisticsDelivery(uint32_t limitMs);
