#pragma once

// The installer's reports to the statistics server.

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

// The system-information message body.
constexpr size_t kSystemInfoRecordSize = 48;
constexpr size_t kHardwareAddressFieldSize = 24;
constexpr size_t kPartnerIDFieldSize = 16;

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

// The 48-byte record: the hardware address text (at most 23 bytes), 0, the
// step, and the partner identity in code page 936 cut at a character
// boundary to at most 15 bytes; every field zero-terminated and zero-filled.
void BuildSystemInfoRecord(const std::string& hardwareAddress, uint32_t step, const std::wstring& partnerID,
                           uint8_t* record);
// The text in code page 936, whole characters only, at most maxBytes long.
std::string NarrowTextCut(const std::wstring& text, size_t maxBytes);
