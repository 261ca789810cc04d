#include "engine/directui/services/CBuryPointHelper.h"
#include "engine/directui/services/CUIStatisticsManager.h"
#include "tests/support/FixedLocalTime.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::tagEventArgs;
using RVTest::FixedLocalTime;

namespace {

SYSTEMTIME At(WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD milliseconds = 0)
{
    return SYSTEMTIME{2026, month, 0, day, hour, minute, second, milliseconds};
}

// A helper on the stack whose clock the test moves, counting batches.
class BuryPoints
{
public:
    BuryPoints() : m_clock(At(6, 1, 10, 0, 0))
    {
        helper.AddMemberFunctionDelegate(IBuryPointHelper::BatchReady, this, &BuryPoints::OnBatch);
    }

    void RecordAt(const SYSTEMTIME& time, int32_t pointId, int32_t subId, int32_t forceNew = 0)
    {
        FixedLocalTime::Set(time);
        helper.Record(pointId, subId, 99, forceNew);
    }

    void OnBatch(void* sender, tagEventArgs*)
    {
        EXPECT_EQ(sender, static_cast<IBuryPointHelper*>(&helper));
        // Handlers run inside Record and see the batch that just filled.
        batches.push_back(helper.GetRecords());
    }

    CBuryPointHelper helper;
    std::vector<std::vector<tagBuryPointRecord>> batches;

private:
    FixedLocalTime m_clock;
};

std::vector<int32_t> PointIds(const std::vector<tagBuryPointRecord>& records)
{
    std::vector<int32_t> ids;
    for (const tagBuryPointRecord& record : records)
        ids.push_back(record.PointId);
    return ids;
}

} // namespace

TEST(UIStatistics, CountsPerExactKeyInFirstRecordedOrder)
{
    CUIStatisticsManager statistics;
    statistics.Record(L"A");
    statistics.Record(L"a");
    statistics.Record(L"A");
    statistics.Record(nullptr);
    ASSERT_EQ(statistics.GetItemCount(), 2);
    EXPECT_STREQ(statistics.GetItemName(0), L"A");
    EXPECT_EQ(statistics.GetItemHits(0), 2u);
    EXPECT_STREQ(statistics.GetItemName(1), L"a");
    EXPECT_EQ(statistics.GetItemHits(1), 1u);
    for (int32_t index : {-1, 2}) {
        EXPECT_STREQ(statistics.GetItemName(index), L"");
        EXPECT_EQ(statistics.GetItemHits(index), 0u);
    }

    // Names handed out stay valid while more keys arrive.
    const wchar_t* first = statistics.GetItemName(0);
    for (int i = 0; i < 100; ++i)
        statistics.Record(std::to_wstring(i).c_str());
    EXPECT_STREQ(first, L"A");
    EXPECT_EQ(statistics.GetItemCount(), 102);
}

TEST(BuryPoints, StayLengthsCountSecondsOfTheDayAndOneDayPerDateChange)
{
    const struct
    {
        const char* name;
        SYSTEMTIME start, end;
        int32_t seconds;
    } cases[] = {
        {"under a second", At(6, 1, 10, 0, 0), At(6, 1, 10, 0, 0, 900), 1},
        {"half an hour", At(6, 1, 18, 0, 0), At(6, 1, 18, 30, 0), 1800},
        {"over midnight", At(6, 1, 23, 59, 50), At(6, 2, 0, 0, 10), 20},
        {"two days later", At(6, 1, 10, 0, 0), At(6, 3, 11, 0, 0), 90000},
        {"end before start", At(6, 1, 10, 0, 10), At(6, 1, 10, 0, 0), 1},
        {"into the next month", At(6, 30, 23, 59, 59), At(7, 1, 0, 0, 1), 2},
        {"same day of another month", At(6, 1, 10, 0, 0), At(7, 1, 10, 0, 5), 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BuryPoints points;
        points.helper.SetOptions(true, 1);
        points.RecordAt(c.start, 7, 3);
        points.RecordAt(c.end, 8, 0);
        ASSERT_EQ(points.batches.size(), 1u);
        ASSERT_EQ(points.batches[0].size(), 1u);
        const tagBuryPointRecord& r = points.batches[0][0];
        EXPECT_EQ(std::make_tuple(r.PointId, r.SubId, r.Value, r.Seconds), std::make_tuple(7, 3, 0, c.seconds));
    }
}

TEST(BuryPoints, StaysOpenRestartAndCloseByPairAndForceFlag)
{
    BuryPoints points;
    points.helper.SetOptions(true, 1);
    // Nothing is open: a point id of 0 does nothing, the first point opens.
    points.RecordAt(At(6, 1, 10, 0, 0), 0, 5);
    points.RecordAt(At(6, 1, 10, 0, 10), 4, 1);
    EXPECT_TRUE(points.batches.empty());

    // The open pair again restarts the stay without a record.
    points.RecordAt(At(6, 1, 10, 1, 0), 4, 1);
    EXPECT_TRUE(points.batches.empty());
    // With the force flag it closes the stay and reopens the same pair.
    points.RecordAt(At(6, 1, 10, 1, 30), 4, 1, 1);
    ASSERT_EQ(points.batches.size(), 1u);
    EXPECT_EQ(points.batches.back()[0].Seconds, 30);

    // Another sub id of the same point is another pair.
    points.RecordAt(At(6, 1, 10, 1, 40), 4, 2);
    ASSERT_EQ(points.batches.size(), 2u);
    EXPECT_EQ(points.batches.back()[0].SubId, 1);
    EXPECT_EQ(points.batches.back()[0].Seconds, 10);

    // Point 0 closes the stay and leaves none open.
    points.RecordAt(At(6, 1, 10, 2, 0), 0, 9);
    ASSERT_EQ(points.batches.size(), 3u);
    EXPECT_EQ(points.batches.back()[0].PointId, 4);
    EXPECT_EQ(points.batches.back()[0].SubId, 2);
    EXPECT_EQ(points.batches.back()[0].Seconds, 20);
    points.RecordAt(At(6, 1, 10, 3, 0), 0, 0);
    points.RecordAt(At(6, 1, 10, 4, 0), 6, 0);
    EXPECT_EQ(points.batches.size(), 3u);
}

TEST(BuryPoints, FullBatchesFireOnceAndWaitForTheNext)
{
    BuryPoints points;
    EXPECT_TRUE(points.helper.IsEnabled());
    points.RecordAt(At(6, 1, 9, 0, 0), 1, 0);
    for (int32_t id = 2; id <= 10; ++id)
        points.RecordAt(At(6, 1, 9, 0, static_cast<WORD>(id)), id, 0);
    EXPECT_TRUE(points.batches.empty());
    EXPECT_TRUE(points.helper.GetRecords().empty());

    points.RecordAt(At(6, 1, 9, 1, 0), 11, 0);
    ASSERT_EQ(points.batches.size(), 1u);
    EXPECT_EQ(PointIds(points.batches[0]), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(points.batches[0].back().Seconds, 50);

    // The current batch starts empty again; the pending one stays until the
    // next batch replaces it.
    for (int32_t id = 12; id <= 20; ++id)
        points.RecordAt(At(6, 1, 9, 2, 0), id, 0);
    EXPECT_EQ(points.batches.size(), 1u);
    EXPECT_EQ(PointIds(points.helper.GetRecords()), PointIds(points.batches[0]));

    // Lowering the size below what waits hands out all of it at the next record.
    points.helper.SetOptions(false, 3);
    EXPECT_FALSE(points.helper.IsEnabled());
    points.RecordAt(At(6, 1, 9, 3, 0), 21, 0);
    ASSERT_EQ(points.batches.size(), 2u);
    EXPECT_EQ(points.batches[1].size(), 10u);
    EXPECT_EQ(points.batches[1].front().PointId, 11);

    // A size of 0 or below hands out every record alone.
    for (int32_t size : {0, -5}) {
        points.helper.SetOptions(true, size);
        const size_t before = points.batches.size();
        points.RecordAt(At(6, 1, 9, 4, 0), 30 + size, 0);
        ASSERT_EQ(points.batches.size(), before + 1);
        EXPECT_EQ(points.batches.back().size(), 1u);
    }
}
