#include "engine/directui/services/CBuryPointHelper.h"

#include "engine/common/base/EventArgs.h"
#include "engine/common/base/LocalClock.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr int32_t kSecondsPerDay = 86400;

int32_t SecondOfDay(const SYSTEMTIME& time)
{
    return time.wHour * 3600 + time.wMinute * 60 + time.wSecond;
}

} // namespace

void CBuryPointHelper::Record(int32_t pointId, int32_t subId, int32_t /*value*/, int32_t forceNew)
{
    SYSTEMTIME now = {};
    Common::GetEngineLocalTime(&now);

    if (m_pointId == 0) {
        if (pointId != 0)
            OpenStay(pointId, subId, now);
        return;
    }
    if (pointId == m_pointId && subId == m_subId && forceNew == 0) {
        m_startTime = now;
        return;
    }

    tagBuryPointRecord record;
    record.PointId = m_pointId;
    record.SubId = m_subId;
    record.Value = 0;
    record.Seconds = StayLength(m_startTime, now);
    OpenStay(pointId, subId, now);
    Append(record);
}

std::vector<tagBuryPointRecord> CBuryPointHelper::GetRecords()
{
    return m_pendingBatch;
}

void CBuryPointHelper::SetOptions(bool enabled, int32_t batchSize)
{
    m_enabled = enabled;
    m_batchSize = batchSize;
}

bool CBuryPointHelper::IsEnabled()
{
    return m_enabled;
}

int32_t CBuryPointHelper::StayLength(const SYSTEMTIME& start, const SYSTEMTIME& end)
{
    int32_t endSecond = SecondOfDay(end);
    if (end.wDay != start.wDay)
        endSecond += kSecondsPerDay;
    const int32_t length = endSecond - SecondOfDay(start);
    return length < 1 ? 1 : length;
}

void CBuryPointHelper::OpenStay(int32_t pointId, int32_t subId, const SYSTEMTIME& now)
{
    // A point id of 0 leaves no stay open; the sub id and time then wait
    // unused for the next opening.
    m_pointId = pointId;
    m_subId = subId;
    m_startTime = now;
}

void CBuryPointHelper::Append(const tagBuryPointRecord& record)
{
    m_currentBatch.push_back(record);
    if (static_cast<int32_t>(m_currentBatch.size()) < m_batchSize)
        return;
    m_pendingBatch = m_currentBatch;
    m_currentBatch.clear();
    Common::tagEventArgs args;
    Fire(BatchReady, this, &args);
}

IBuryPointHelper* IBuryPointHelper_GetInstance()
{
    static IBuryPointHelper* instance = nullptr;
    if (instance == nullptr) {
        instance = new (std::nothrow) CBuryPointHelper();
        // The process keeps its one reference for good.
        if (instance != nullptr)
            instance->AddRef();
    }
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
