#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/services/CExpressionItem.h"
#include "engine/directui/services/CExpressionManager.h"
#include "engine/directui/services/NumberedFileName.h"
#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include <functional>
#include <utility>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new UITest::GdiplusEnvironment);

using ImagePointer = TIntrusivePointer<IUIImage>;

// Pictures in a fresh current folder and a UI system drawing into a bitmap.
struct Expressions : ::testing::Test
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};
    CExpressionManager table;
    TIntrusivePointer<UITest::BitmapDriver> driver{new UITest::BitmapDriver(40, 30)};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(driver.Get())};

    void SetUp() override
    {
        const struct
        {
            const wchar_t* name;
            int width, height;
            uint32_t argb;
        } pictures[] = {{L"red.bmp", 4, 3, 0xFFFF0000},    {L"green.bmp", 6, 5, 0xFF00FF00},
                        {L"set0.bmp", 2, 2, 0xFF0000FF},   {L"set2.bmp", 3, 3, 0xFF0000FF},
                        {L"frame1.bmp", 8, 8, 0xFFFF0000}, {L"frame3.bmp", 8, 8, 0xFF00FF00},
                        {L"frame4.bmp", 8, 8, 0xFF0000FF}};
        for (const auto& p : pictures)
            ASSERT_TRUE(UITest::WriteBmp(p.name, p.width, p.height, [&p](int, int) { return p.argb; }));
        ASSERT_TRUE(RVTest::WriteWholeFile(L"broken.bmp", "not a picture"));
    }

    std::pair<int32_t, int32_t> SizeOf(int32_t number)
    {
        std::pair<int32_t, int32_t> size(-1, -1);
        table.GetExpressionSize(ui.Get(), number, &size.first, &size.second);
        return size;
    }
    // Removes the file entry the number holds now, as its user would.
    void Remove(int32_t number) { table.RemoveFileExpression(number, table.GetFileExpressionStamp(number)); }
};

using Size = std::pair<int32_t, int32_t>;

} // namespace

TEST(ExpressionItem, FramesFollowTheClockAtTheClampedRate)
{
    CExpressionItem item;
    EXPECT_TRUE(item.GetFrameAt(0).IsNull());
    std::vector<ImagePointer> frames;
    for (int i = 0; i < 4; ++i)
        frames.emplace_back(IImage_Create(nullptr));
    item.AddFrame(frames[0]);
    EXPECT_FALSE(item.IsAnimated());
    EXPECT_EQ(item.GetFrameAt(123456), frames[0]);
    for (int i = 1; i < 4; ++i)
        item.AddFrame(frames[static_cast<size_t>(i)]);
    EXPECT_TRUE(item.IsAnimated());

    struct Case
    {
        int32_t framesPerSecond;
        int32_t clockMs;
        size_t frame;
    };
    const Case cases[] = {
        {10, 0, 0}, {10, 99, 0}, {10, 100, 1}, {10, 399, 3}, {10, 400, 0}, {10, 12345, 3},
        // 1000 / 3 is cut to a period of 333 ms.
        {3, 332, 0}, {3, 333, 1}, {3, 1332, 0},
        // The signed quotient -2 read as unsigned.
        {10, -250, 2},
        // Rates are kept within 1 to 1000 per second.
        {0, 999, 0}, {0, 1000, 1}, {-7, 2000, 2}, {5000, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.framesPerSecond << " fps at " << c.clockMs << " ms");
        item.SetFramesPerSecond(c.framesPerSecond);
        EXPECT_EQ(item.GetFrameAt(c.clockMs), frames[c.frame]);
    }
}

TEST_F(Expressions, EntriesAreAddedSetAndDroppedByNumber)
{
    EXPECT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 0);
    EXPECT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 1);
    for (const wchar_t* bad : {L"missing.bmp", L"broken.bmp"})
        EXPECT_EQ(table.AddExpressionFromFile(ui.Get(), bad), -1);
    EXPECT_EQ(table.GetExpressionCount(), 2);
    EXPECT_EQ(SizeOf(1), Size(4, 3));
    for (int32_t absent : {-1, 2})
        EXPECT_EQ(SizeOf(absent), Size(0, 0));

    table.SetExpression(ui.Get(), 10, L"green.bmp");
    EXPECT_EQ(table.GetExpressionCount(), 11);
    EXPECT_EQ(SizeOf(9), Size(0, 0));
    EXPECT_EQ(SizeOf(10), Size(6, 5));
    // A picture that does not load leaves the entry as it was.
    table.SetExpression(ui.Get(), 10, L"missing.bmp");
    EXPECT_EQ(SizeOf(10), Size(6, 5));
    for (int32_t refused : {-1, 1 << 16})
        table.SetExpression(ui.Get(), refused, L"green.bmp");
    EXPECT_EQ(table.GetExpressionCount(), 11);

    // A smaller set drops the entries past it; those that do not load keep theirs.
    table.LoadExpressionSet(ui.Get(), L"set%d.bmp", 3);
    EXPECT_EQ(table.GetExpressionCount(), 3);
    EXPECT_EQ(SizeOf(0), Size(2, 2));
    EXPECT_EQ(SizeOf(1), Size(4, 3));
    EXPECT_EQ(SizeOf(2), Size(3, 3));
    EXPECT_EQ(SizeOf(10), Size(0, 0));
    table.LoadExpressionSet(ui.Get(), L"set%d.bmp", -1);
    table.LoadExpressionSet(ui.Get(), L"set%s.bmp", 4);
    EXPECT_EQ(table.GetExpressionCount(), 4);
    EXPECT_EQ(SizeOf(0), Size(2, 2));
    table.LoadExpressionSet(ui.Get(), L"set%d.bmp", 0);
    EXPECT_EQ(table.GetExpressionCount(), 0);
}

// File entries go back when their user removes them: their numbers are given
// out again, and emptied entries at the end leave the table. Nothing else can
// be removed that way.
TEST_F(Expressions, FileEntriesAreRemovedAndTheirNumbersReused)
{
    table.SetExpression(ui.Get(), 0, L"green.bmp");
    for (int32_t expected : {1, 2, 3})
        EXPECT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), expected);
    Remove(2);
    EXPECT_EQ(table.GetExpressionCount(), 4);
    EXPECT_EQ(SizeOf(2), Size(0, 0));
    EXPECT_EQ(table.AddExpressionFromFile(ui.Get(), L"green.bmp"), 2);
    EXPECT_EQ(SizeOf(2), Size(6, 5));

    // A set entry, a number removed twice and one out of range stay as they are.
    for (int32_t ignored : {0, -1, 99})
        Remove(ignored);
    EXPECT_EQ(SizeOf(0), Size(6, 5));
    // An entry set over a file entry is no file entry any more.
    const uint32_t overwritten = table.GetFileExpressionStamp(1);
    table.SetExpression(ui.Get(), 1, L"green.bmp");
    table.RemoveFileExpression(1, overwritten);
    EXPECT_EQ(SizeOf(1), Size(6, 5));

    for (int32_t number : {3, 2})
        Remove(number);
    EXPECT_EQ(table.GetExpressionCount(), 2);
    // A thousand pictures added and removed leave the table as it was.
    for (int round = 0; round < 1000; ++round)
        Remove(table.AddExpressionFromFile(ui.Get(), L"red.bmp"));
    EXPECT_EQ(table.GetExpressionCount(), 2);
}

// A user of a file entry removes it by number and stamp: once a set load has
// dropped or replaced the entry, or its number went to another user, the
// removal leaves the table alone.
TEST_F(Expressions, AFileEntryIsRemovedOnlyByTheUserThatHoldsIt)
{
    struct Row
    {
        const char* what;
        // What happens to the first user's entry 1 before it removes it.
        std::function<void(Expressions&)> meanwhile;
        Size second;
    };
    const Row rows[] = {
        {"dropped by a smaller set, then given to another user",
         [](Expressions& t) {
             t.table.LoadExpressionSet(t.ui.Get(), L"set%d.bmp", 1);
             EXPECT_EQ(t.table.AddExpressionFromFile(t.ui.Get(), L"green.bmp"), 1);
         },
         Size(6, 5)},
        {"taken by a set load", [](Expressions& t) { t.table.LoadExpressionSet(t.ui.Get(), L"frame%d.bmp", 2); },
         Size(8, 8)},
        {"set over", [](Expressions& t) { t.table.SetExpression(t.ui.Get(), 1, L"set2.bmp"); }, Size(3, 3)},
        {"made an animation",
         [](Expressions& t) { t.table.SetAnimatedExpression(t.ui.Get(), 1, L"frame%d.bmp", 3, 2, 10); },
         Size(8, 8)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        table.LoadExpressionSet(ui.Get(), L"set%d.bmp", 0);
        table.SetExpression(ui.Get(), 0, L"set0.bmp");
        ASSERT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 1);
        const uint32_t stamp = table.GetFileExpressionStamp(1);
        EXPECT_NE(stamp, 0u);
        row.meanwhile(*this);
        EXPECT_NE(table.GetFileExpressionStamp(1), stamp);
        table.RemoveFileExpression(1, stamp);
        EXPECT_EQ(SizeOf(1), row.second);
    }
    // Stamps are never given twice, also to an entry at the same number.
    ASSERT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 2);
    const uint32_t first = table.GetFileExpressionStamp(2);
    Remove(2);
    ASSERT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 2);
    EXPECT_NE(table.GetFileExpressionStamp(2), first);
    EXPECT_EQ(table.GetFileExpressionStamp(0), 0u);
}

TEST_F(Expressions, AnimatedEntriesKeepTheFramesThatLoad)
{
    table.SetExpression(ui.Get(), 0, L"red.bmp");
    table.SetAnimatedExpression(ui.Get(), 2, L"frame%d.bmp", 1, 4, 0);
    EXPECT_EQ(table.GetExpressionCount(), 3);
    EXPECT_FALSE(table.IsExpressionAnimated(0));
    EXPECT_FALSE(table.IsExpressionAnimated(1));
    EXPECT_TRUE(table.IsExpressionAnimated(2));
    EXPECT_FALSE(table.IsExpressionAnimated(3));
    EXPECT_EQ(SizeOf(2), Size(8, 8));

    // The entry is replaced at once, also when none of its frames load.
    table.SetAnimatedExpression(ui.Get(), 0, L"nothing%d.bmp", 0, 3, 10);
    EXPECT_FALSE(table.IsExpressionAnimated(0));
    EXPECT_EQ(SizeOf(0), Size(0, 0));
}

TEST_F(Expressions, DrawingPutsTheFrameAtItsPlace)
{
    ASSERT_EQ(table.AddExpressionFromFile(ui.Get(), L"red.bmp"), 0);
    table.DrawExpression(ui.Get(), 0, 5, 7);
    table.DrawExpression(ui.Get(), 1, 20, 20);
    table.DrawExpression(nullptr, 0, 20, 20);
    EXPECT_EQ(driver->At(5, 7), 0xFFFF0000u);
    EXPECT_EQ(driver->At(8, 9), 0xFFFF0000u);
    for (const POINT& outside : {POINT{4, 7}, POINT{9, 7}, POINT{5, 10}, POINT{20, 20}})
        EXPECT_EQ(driver->At(outside.x, outside.y), 0xFF000000u);
}

TEST(NumberedFileName, OnlyOneIntegerFieldIsFilledIn)
{
    struct Case
    {
        const wchar_t* pattern;
        int32_t number;
        bool made;
        const wchar_t* name;
    };
    const std::wstring tooLong = std::wstring(kMaxNumberedFileNameLength, L'x') + L"%d";
    const Case cases[] = {
        {L"Face/%d.png", 7, true, L"Face/7.png"},
        {L"%03d.bmp", 7, true, L"007.bmp"},
        {L"%-3i|", -2, true, L"-2 |"},
        {L"100%%_%d", 5, true, L"100%_5"},
        {L"%s.png", 1, false, L""},
        {L"%d_%d.png", 1, false, L""},
        {L"plain.png", 1, false, L""},
        {L"trailing%", 1, false, L""},
        {L"%5000d", 1, false, L""},
        {L"%ld", 1, false, L""},
        {tooLong.c_str(), 1, false, L""},
        {nullptr, 1, false, L""},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        std::wstring name = L"stale";
        EXPECT_EQ(FormatNumberedFileName(c.pattern, c.number, name), c.made);
        EXPECT_EQ(name, c.name);
    }
}
