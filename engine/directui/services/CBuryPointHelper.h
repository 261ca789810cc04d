#pragma once

#include "engine/directui/services/IBuryPointHelper.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

// Idle while no point is open (point id 0), timing otherwise. The time comes
// from the engine's local clock, which tests can replace.
class RV_API CBuryPointHelper : public IBuryPointHelper
{
public:
    static constexpr int32_t kDefaultBatchSize = 10;

    CBuryPointHelper() = default;

    void Record(int32_t pointId, int32_t subId, int32_t value, int32_t forceNew) override;
    std::vector<tagBuryPointRecord> GetRecords() override;
    void SetOptions(bool enabled, int32_t batchSize) override;
    bool IsEnabled() override;

    // Seconds from start to end by the time of day; a change of the day of
    // the month counts one day, whatever the dates. At least 1.
    static int32_t StayLength(const SYSTEMTIME& start, const SYSTEMTIME& end);

private:
    void OpenStay(int32_t pointId, int32_t subId, const SYSTEMTIME& now);
    void Append(const tagBuryPointRecord& record);

    int32_t m_pointId = 0;
    int32_t m_subId = 0;
    SYSTEMTIME m_startTime = {};
    bool m_enabled = true;
    int32_t m_batchSize = kDefaultBatchSize;
    std::vector<tagBuryPointRecord> m_currentBatch;
    std::vector<tagBuryPointRecord> m_pendingBatch;
};

} // namespace DirectUI
} // namespace RVGameEngine
