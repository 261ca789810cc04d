#include "engine/directui/controls/IListView.h"
#include "engine/directui/controls/IListViewEx.h"
#include "tests/engine/directui/picturecontrols/PictureControlSupport.h"

#include <cwchar>
#include <functional>

using namespace UITest;

namespace {

// The owner of a list: answers rows and cells, and writes down every event.
struct ListOwner
{
    int rows = 3;
    bool ownerDraw = false;
    bool drawGap = false;
    std::wstring fill; // when set, every cell's text
    Lines events;

    void Watch(IListView* list, std::initializer_list<int> ids)
    {
        for (int id : ids)
            list->AddMemberFunctionDelegate(id, this, &ListOwner::On);
    }
    void On(void*, RVGameEngine::Common::tagEventArgs* args)
    {
        char line[160];
        if (auto* count = dynamic_cast<tagListViewGetRowCountEventArgs*>(args)) {
            count->rowCount = rows;
            return;
        }
        if (auto* cell = dynamic_cast<tagListViewGetGridDataEventArgs*>(args)) {
            if (!fill.empty())
                std::copy(fill.begin(), fill.end(), cell->text);
            else
                swprintf(cell->text, kListViewCellTextLength, L"r%dc%d", cell->row, cell->column);
            cell->ownerDraw = ownerDraw;
            cell->drawGap = drawGap;
            return;
        }
        if (auto* a = dynamic_cast<tagListViewPaintTitleEventArgs*>(args))
            snprintf(line, sizeof line, "title %d %ls %d,%d,%d,%d", a->column, a->title, a->x, a->y, a->width, a->height);
        else if (auto* b = dynamic_cast<tagListViewPaintRowBackEventArgs*>(args))
            snprintf(line, sizeof line, "back %d %d,%d,%d,%d", b->row, b->x, b->y, b->width, b->height);
        else if (auto* g = dynamic_cast<tagListViewPaintGapEventArgs*>(args))
            snprintf(line, sizeof line, "gap %d,%d %d,%d,%d,%d", g->row, g->column, g->x, g->y, g->width, g->height);
        else if (auto* p = dynamic_cast<tagListViewPaintGridEventArgs*>(args))
            snprintf(line, sizeof line, "grid %ls %d,%d,%d,%d", p->text, p->x, p->y, p->width, p->height);
        else if (auto* s = dynamic_cast<tagListViewRowSelectedEventArgs*>(args))
            snprintf(line, sizeof line, "selected %d", s->row);
        else if (auto* c = dynamic_cast<tagListViewSortColumnEventArgs*>(args))
            snprintf(line, sizeof line, "sort %d %ls %d", c->column, c->name, c->userValue);
        else if (auto* m = dynamic_cast<tagListViewMouseMovingEventArgs*>(args))
            snprintf(line, sizeof line, "moving %d %d,%d,%d,%d %d", m->row, m->x, m->y, m->width, m->height, m->mouseIn);
        else
            return;
        events.push_back(line);
    }
};

// A list at 10,20 of 300 x 120: titled columns A (100) and C (100) around an
// untitled B (80); title band 24, gap 9, rows 21.
const wchar_t kList[] =
    L"<%ls Name=\"list\" X=\"10\" Y=\"20\" Width=\"300\" Height=\"120\">"
    L"<Image Tag=\"TitleGrid\" Filename=\"divider.bmp\"/>"
    L"<ListViewColumn Width=\"100\" Name=\"a\" Title=\"A\" TitleColor=\"1,2,3\"/>"
    L"<ListViewColumn Width=\"80\" Name=\"b\"/><Note Width=\"999\"/>"
    L"<ListViewColumn Width=\"100\" Name=\"c\" Title=\"C\"/></%ls>";

struct ListUI
{
    PictureFolder pictures;
    RecordedUI ui;
    IListView* list = nullptr;
    ListOwner owner;

    explicit ListUI(const wchar_t* type = L"ListView")
    {
        EXPECT_TRUE(WriteBmp(L"divider.bmp", 9, 24, [](int, int) { return 0xFF404040u; }));
        wchar_t description[1024];
        swprintf(description, 1024, kList, type, type);
        ui.Load(description);
        list = dynamic_cast<IListView*>(ui.Root()->FindWindow(L"list"));
        if (list != nullptr)
            owner.Watch(list, {LISTVIEW_EVENT_GET_ROW_COUNT, LISTVIEW_EVENT_GET_GRID_DATA, LISTVIEW_EVENT_ROW_SELECTED,
                               LISTVIEW_EVENT_SORT_COLUMN});
    }
    Lines Texts()
    {
        ui.driver->calls.clear();
        ui.driver->RaisePaint();
        return ui.driver->Starting("text ");
    }
};

} // namespace

TEST(ListView, TitlesCellsAndDividersFollowTheColumnsAndScrolling)
{
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    EXPECT_EQ(l.list->GetTitleHeight(), 24); // from the divider's height
    EXPECT_EQ(l.list->GetGapWidth(), 9);
    EXPECT_EQ(l.list->GetContentWidth(), 280);
    EXPECT_EQ(l.Texts(), (Lines{"text A at 10,26", "text C at 190,26", "text r0c0 at 11,50", "text r1c0 at 11,71",
                                "text r2c0 at 11,92", "text r0c1 at 111,50", "text r1c1 at 111,71", "text r2c1 at 111,92",
                                "text r0c2 at 191,50", "text r1c2 at 191,71", "text r2c2 at 191,92"}));
    // Only the titled column after the first gets a divider, in the gap before it.
    EXPECT_EQ(DrawnPictures(*l.ui.driver), Lines{"181,20,9,24<-0,0,9,24"});

    // Scrolled: rows slide under the title band, which keeps its place; cells
    // out of view are not asked for (titles are left to the clip).
    l.owner.rows = 8;
    l.list->SetScrollY(42);
    l.list->SetScrollX(150);
    const Lines scrolled = l.Texts();
    EXPECT_EQ(scrolled.front(), "text A at -140,26");
    EXPECT_EQ(std::count_if(scrolled.begin(), scrolled.end(), [](const std::string& t) { return t.find("c0") != std::string::npos; }), 0);
    EXPECT_EQ(std::count_if(scrolled.begin(), scrolled.end(), [](const std::string& t) { return t.find("r1c1 at -39,29") == 5; }), 1);
    EXPECT_EQ(scrolled.back(), "text r6c2 at 41,134");
}

TEST(ListView, PressesSelectRowsAndSortColumns)
{
    struct Press
    {
        int x, y;
        const char* event; // "" for none
    };
    const Press presses[] = {
        {20, 30, "sort 0 a 0"}, {20, 30, "sort 0 a 0"}, {150, 30, "sort 1 b 0"},
        {20, 44, ""},           // on the title band's lower edge, the first row's top
        {20, 45, "selected 0"}, {20, 70, "selected 1"}, {20, 70, "selected 1"},
        {20, 120, ""},          // below the last row
        {305, 30, ""},          // past the last column
        {400, 70, ""},          // outside the window
    };
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    for (const Press& p : presses) {
        SCOPED_TRACE(p.y);
        l.owner.events.clear();
        l.ui.driver->RaiseLButtonDown(p.x, p.y);
        l.ui.driver->RaiseLButtonUp(p.x, p.y);
        EXPECT_EQ(l.owner.events, p.event[0] != '\0' ? Lines{p.event} : Lines{});
    }
    EXPECT_EQ(l.list->GetSelectedRow(), 1);
    int32_t row = 7;
    l.list->SetRowHeight(0);
    l.list->HitTestRow(20, 70, &row);
    EXPECT_EQ(row, -1);
}

TEST(ListView, OwnersDrawTitlesRowsCellsAndGapsWhenTheySubscribe)
{
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    l.owner.rows = 1;
    l.owner.ownerDraw = true;
    l.owner.drawGap = true;
    l.owner.Watch(l.list, {LISTVIEW_EVENT_PAINT_TITLE, LISTVIEW_EVENT_PAINT_ROW_BACK, LISTVIEW_EVENT_PAINT_GAP,
                           LISTVIEW_EVENT_PAINT_GRID, LISTVIEW_EVENT_MOUSE_MOVING});
    l.ui.driver->RaiseMouseMove(20, 50);
    l.owner.events.clear();
    EXPECT_TRUE(l.Texts().empty());
    EXPECT_EQ(l.owner.events,
              (Lines{"title 0 A 10,20,91,24", "title 2 C 190,20,91,24", "back 0 10,44,280,21", "gap 0,0 1,44,9,21",
                     "grid r0c0 10,44,91,21", "gap 0,1 101,44,9,21", "grid r0c1 110,44,71,21", "gap 0,2 181,44,9,21",
                     "grid r0c2 190,44,91,21", "moving 0 10,44,280,21 1"}));
}

TEST(ListView, CellTextsAreAskedInRangeAndAlwaysEndWithinTheirBuffer)
{
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    struct Cell
    {
        int row, column;
        const wchar_t* text;
    };
    const Cell cells[] = {{1, 2, L"r1c2"}, {-1, 0, L""}, {3, 0, L""}, {0, 3, L""}, {0, -1, L""}};
    for (const Cell& c : cells)
        EXPECT_STREQ(l.list->GetGridData(c.row, c.column)->GetUtf16(), c.text);
    l.owner.fill.assign(kListViewCellTextLength, L'x');
    EXPECT_EQ(wcslen(l.list->GetGridData(0, 0)->GetUtf16()), static_cast<size_t>(kListViewCellTextLength - 1));
}

TEST(ListViewEx, RowsAreOwnerDrawnAcrossTheKeyedColumnsWithoutTitlesOrSorting)
{
    ListUI l(L"ListViewEx");
    ASSERT_NE(l.list, nullptr);
    EXPECT_NE(dynamic_cast<IListViewEx*>(l.list), nullptr);
    ListUI plain;
    EXPECT_EQ(dynamic_cast<IListViewEx*>(plain.list), nullptr);

    l.owner.ownerDraw = true;
    l.owner.rows = 2;
    l.owner.Watch(l.list, {LISTVIEW_EVENT_PAINT_GRID, LISTVIEW_EVENT_PAINT_TITLE, LISTVIEW_EVENT_MOUSE_MOVING});
    EXPECT_TRUE(l.Texts().empty());
    EXPECT_EQ(l.owner.events, (Lines{"grid r0c0 23,61,280,21", "grid r1c0 23,82,280,21"}));
    // A second column under a key already held counts once.
    l.list->AddColumn(50, L"x", L"X", kOpaqueWhite, kOpaqueWhite, L"Default", 0, 1);
    l.list->AddColumn(70, L"y", L"Y", kOpaqueWhite, kOpaqueWhite, L"Default", 0, 7);
    EXPECT_EQ(l.list->GetContentWidth(), 350);
    // Description columns answer no sort and no cell text.
    l.owner.events.clear();
    l.ui.driver->RaiseLButtonDown(20, 30);
    l.ui.driver->RaiseLButtonDown(20, 70);
    EXPECT_EQ(l.owner.events, Lines{"selected 1"});
    EXPECT_STREQ(l.list->GetGridData(0, 0)->GetUtf16(), L"");
}

namespace {

// Runs a test-chosen action at the first firing of the event it watches.
struct PaintIntruder
{
    std::function<void()> action;
    bool done = false;
    void On(void*, RVGameEngine::Common::tagEventArgs*)
    {
        if (!done) {
            done = true;
            action();
        }
    }
};

// Counts the events raised once the intruder has acted.
struct LaterEvents
{
    const PaintIntruder* intruder = nullptr;
    int count = 0;
    void On(void*, RVGameEngine::Common::tagEventArgs*)
    {
        if (intruder->done)
            ++count;
    }
};

} // namespace

// A handler of one of the paint's events takes the list out of its UI system:
// the paint stops there, and the window painted after the list gets exactly
// its own clip (so every clip the list pushed was popped where it was pushed).
TEST(ListView, APaintHandlerThatRemovesOrMovesTheListEndsItsPaint)
{
    struct Row
    {
        const wchar_t* type;
        int eventId;
        bool moves; // to another UI system, else removed
    };
    const int listEvents[] = {LISTVIEW_EVENT_PAINT_TITLE, LISTVIEW_EVENT_GET_ROW_COUNT, LISTVIEW_EVENT_PAINT_ROW_BACK,
                              LISTVIEW_EVENT_GET_GRID_DATA, LISTVIEW_EVENT_PAINT_GAP, LISTVIEW_EVENT_PAINT_GRID,
                              LISTVIEW_EVENT_MOUSE_MOVING};
    std::vector<Row> rows;
    for (bool moves : {false, true}) {
        for (int id : listEvents)
            rows.push_back({L"ListView", id, moves});
        for (int id : {LISTVIEW_EVENT_GET_ROW_COUNT, LISTVIEW_EVENT_PAINT_ROW_BACK, LISTVIEW_EVENT_GET_GRID_DATA,
                       LISTVIEW_EVENT_PAINT_GRID})
            rows.push_back({L"ListViewEx", id, moves});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::string(row.type, row.type + wcslen(row.type)) << " event "
                                        << row.eventId << (row.moves ? " moves" : " removes"));
        ListUI l(row.type);
        ASSERT_NE(l.list, nullptr);
        RecordedUI elsewhere;
        l.owner.ownerDraw = true;
        l.owner.drawGap = true;
        l.owner.Watch(l.list, {LISTVIEW_EVENT_PAINT_TITLE, LISTVIEW_EVENT_PAINT_ROW_BACK, LISTVIEW_EVENT_PAINT_GAP,
                               LISTVIEW_EVENT_PAINT_GRID, LISTVIEW_EVENT_MOUSE_MOVING});
        l.ui.Add(l.ui.Root(), L"after", 320, 10, 50, 50);
        TIntrusivePointer<IUIWindow> keep(l.list);
        PaintIntruder intruder;
        intruder.action = [&] {
            if (row.moves)
                elsewhere.Root()->AddChild(l.list);
            else
                l.ui.Root()->RemoveWindow(l.list);
        };
        LaterEvents later;
        later.intruder = &intruder;
        for (int id : listEvents)
            l.list->AddMemberFunctionDelegate(id, &later, &LaterEvents::On);
        l.list->AddMemberFunctionDelegate(row.eventId, &intruder, &PaintIntruder::On);
        l.ui.driver->RaisePaint();
        EXPECT_TRUE(intruder.done);
        EXPECT_EQ(later.count, 0);
        EXPECT_EQ(l.ui.System()->GetClipDepth(), 0u);
        const Lines clips = l.ui.driver->Starting("clip");
        EXPECT_NE(std::find(clips.begin(), clips.end(), "clip 320,10,50,50"), clips.end());
        EXPECT_EQ(elsewhere.System()->GetClipDepth(), 0u);
        EXPECT_TRUE(elsewhere.driver->Starting("clip").empty());
        EXPECT_TRUE(elsewhere.driver->Starting("text").empty());
    }
}

namespace {

// A handler that replaces every column with one of its own while the list
// fires.
struct ColumnRebuilder
{
    IListView* list;
    void On(void*, RVGameEngine::Common::tagEventArgs*)
    {
        list->RemoveAllColumns();
        list->AddColumn(100, L"rebuilt", L"R", kOpaqueWhite, kOpaqueWhite);
    }
};

} // namespace

// A sort handler that rebuilds the columns leaves the record readable for the
// handlers after it.
TEST(ListView, TheSortRecordOutlivesAHandlerThatRebuildsTheColumns)
{
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    ColumnRebuilder rebuild{l.list};
    l.list->RemoveObjectDelegates(&l.owner);
    l.list->AddMemberFunctionDelegate(LISTVIEW_EVENT_SORT_COLUMN, &rebuild, &ColumnRebuilder::On);
    l.owner.Watch(l.list, {LISTVIEW_EVENT_SORT_COLUMN});
    l.ui.driver->RaiseLButtonDown(20, 30);
    EXPECT_EQ(l.owner.events, Lines{"sort 0 a 0"});
    EXPECT_EQ(l.list->GetContentWidth(), 100);
}

// A cell handler that rebuilds the columns leaves the name of the column
// the owner asked about readable for the handlers after it.
TEST(ListView, TheCellRecordOutlivesAHandlerThatRebuildsTheColumns)
{
    ListUI l;
    ASSERT_NE(l.list, nullptr);
    ColumnRebuilder rebuild{l.list};
    struct NameReader
    {
        std::wstring name;
        void On(void*, RVGameEngine::Common::tagEventArgs* args)
        {
            name = dynamic_cast<tagListViewGetGridDataEventArgs*>(args)->name;
        }
    } reader;
    l.list->RemoveObjectDelegates(&l.owner);
    l.owner.Watch(l.list, {LISTVIEW_EVENT_GET_ROW_COUNT});
    l.list->AddMemberFunctionDelegate(LISTVIEW_EVENT_GET_GRID_DATA, &rebuild, &ColumnRebuilder::On);
    l.list->AddMemberFunctionDelegate(LISTVIEW_EVENT_GET_GRID_DATA, &reader, &NameReader::On);
    EXPECT_STREQ(l.list->GetGridData(0, 2)->GetUtf16(), L"");
    EXPECT_EQ(reader.name, L"c");
    EXPECT_EQ(l.list->GetContentWidth(), 100);
}

// The selection bar is cut in three: the left and right thirds of the picture
// at the row's ends, one pixel in, and the middle third stretched between.
TEST(ListView, TheSelectionBarIsDrawnFromThreeSlicesOfItsPicture)
{
    PictureFolder pictures;
    EXPECT_TRUE(WriteBmp(L"bar.bmp", 31, 21, [](int, int) { return 0xFF2060A0u; }));
    RecordedUI ui;
    ui.Load(L"<ListView Name=\"list\" X=\"10\" Y=\"20\" Width=\"300\" Height=\"120\" TitleHeight=\"24\">"
            L"<Image Tag=\"RowSelected\" Filename=\"bar.bmp\"/></ListView>");
    auto* list = dynamic_cast<IListView*>(ui.Root()->FindWindow(L"list"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetRowHeight(), 21);
    EXPECT_TRUE(Paint(ui).empty());
    list->SetSelectedRow(1);
    list->SetScrollY(5);
    // Row 1 at 20 + 24 + 21 - 5 = 60; slices of 31 / 3 = 10; the right cap ends
    // one pixel before the list's right edge.
    EXPECT_EQ(Paint(ui), (Lines{"11,60,10,21<-0,0,10,21", "299,60,10,21<-21,0,10,21", "21,60,278,21<-10,0,10,21"}));
}
