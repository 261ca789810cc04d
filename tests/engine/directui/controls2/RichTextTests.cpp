#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/CRichLabel.h"
#include "engine/directui/controls/CRichOutputBox.h"
#include "engine/directui/controls/IRichLabel.h"
#include "engine/directui/controls/IRichOutputBox.h"
#include "engine/directui/services/CExpressionManager.h"
#include "engine/directui/services/IExpressionManager.h"
#include "engine/directui/services/ProgramFolderNames.h"
#include "tests/support/LogCapture.h"

#include <memory>
#include <utility>

using namespace UITest;

namespace {

const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// A folder the program names as its own while the object lives.
struct ScopedProgramFolder
{
    std::wstring folder;
    explicit ScopedProgramFolder(std::wstring name) : folder(std::move(name)) { AddProgramFolder(folder.c_str()); }
    ~ScopedProgramFolder() { RemoveProgramFolder(folder.c_str()); }
};

// Expression 3: a 12 x 12 picture; 7: 24 x 30; 5: two frames of 8 x 8.
struct RichTextTest : ::testing::Test
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};
    ScopedProgramFolder own{folder.Path()};
    TextUI ui;
    IRichOutputBox* box = ui.Add<IRichOutputBox>(L"RichOutputBox", 10, 20, 100, 60);

    void SetUp() override
    {
        ASSERT_TRUE(WriteBmp(L"small.bmp", 12, 12, [](int, int) { return 0xFFFF0000u; }));
        ASSERT_TRUE(WriteBmp(L"tall.bmp", 24, 30, [](int, int) { return 0xFF00FF00u; }));
        ASSERT_TRUE(WriteBmp(L"anim0.bmp", 8, 8, [](int, int) { return 0xFF0000FFu; }));
        ASSERT_TRUE(WriteBmp(L"anim1.bmp", 8, 8, [](int, int) { return 0xFF00FFFFu; }));
        IExpressionManager* expressions = IExpressionManager_GetInstance();
        expressions->SetExpression(ui.ui.Get(), 3, L"small.bmp");
        expressions->SetExpression(ui.ui.Get(), 7, L"tall.bmp");
        expressions->SetAnimatedExpression(ui.ui.Get(), 5, L"anim%d.bmp", 0, 2, 10);
    }

    CRichOutputBox* Box() { return dynamic_cast<CRichOutputBox*>(box); }
    std::wstring PlainText() { return box->GetPlainText()->GetUtf16(); }
    std::vector<int32_t> LineHeights(size_t paragraph) { return Box()->GetParagraphs()[paragraph]->lineHeights; }
    Lines Painted()
    {
        ui.driver->calls.clear();
        ui.Paint();
        Lines painted;
        for (const std::string& call : ui.driver->calls)
            if (call.compare(0, 4, "draw") == 0 || call.compare(0, 4, "fill") == 0 || call.compare(0, 5, "image") == 0)
                painted.push_back(call);
        return painted;
    }
};

struct Layout
{
    const char* name;
    int width, lineGap, paragraphGap;
    const wchar_t* markup;
    int height;
    std::vector<int32_t> lineHeights;
    const wchar_t* text;
};

const Layout kLayouts[] = {
    {"one run on one line", 100, 0, 0, L"<Text Text=\"ab\"/>", 16, {16}, L"ab\r\n"},
    {"a box narrower than two units wraps between them", 15, 0, 0, L"<Text Text=\"ab\"/>", 33, {16, 16},
     L"ab\r\n"},
    {"a unit wider than the box leaves an empty line", 5, 0, 0, L"<Text Text=\"a\"/>", 17, {0, 16}, L"a\r\n"},
    {"a closing line end adds nothing", 100, 0, 0, L"<Text Text=\"a\"/><NewLine/>", 16, {16, 0},
     L"a\r\n\r\n"},
    {"two line ends move down once", 100, 0, 0, L"<Text Text=\"a\"/><NewLine/><NewLine/><Text Text=\"b\"/>", 33,
     {16, 0, 16}, L"a\r\n\r\nb\r\n"},
    {"a leading line end moves down one pixel", 100, 0, 0, L"<NewLine/><Text Text=\"a\"/>", 17, {0, 16},
     L"\r\na\r\n"},
    {"gaps below lines and the paragraph", 15, 2, 5, L"<Text Text=\"ab\"/>", 42, {16, 16}, L"ab\r\n"},
    {"the tallest unit sets the line", 100, 0, 0,
     L"<FontName FontName=\"Big\"><Text Text=\"a\"/></FontName><Text Text=\"b\"/>", 20, {20}, L"ab\r\n"},
    {"pictures count as units", 100, 0, 0, L"<Text Text=\"Hi\"/><Expression Expression=\"3\"/><NewLine/>", 16,
     {16, 0}, L"Hi/:03\r\n\r\n"},
    {"a tall picture", 100, 0, 0, L"<Expression Expression=\"7\"/><Text Text=\"x\"/>", 30, {30}, L"/:07x\r\n"},
    {"runs nest inside any element", 100, 0, 0, L"<Box><TextButton Text=\"a\"><Text Text=\"b\"/></TextButton></Box>",
     16, {16}, L"ab\r\n"},
    {"an absent picture has no size", 100, 0, 0, L"<Expression Expression=\"999\"/>", 0, {0}, L"/:999\r\n"},
};

} // namespace

TEST_F(RichTextTest, ParagraphsMeasureLinesAndGaps)
{
    for (const Layout& row : kLayouts) {
        SCOPED_TRACE(row.name);
        box->Clear();
        box->SetWidth(row.width);
        box->SetLineGap(row.lineGap);
        box->SetParagraphGap(row.paragraphGap);
        box->AppendText(row.markup);
        EXPECT_EQ(box->GetContentHeight(), row.height);
        EXPECT_EQ(LineHeights(0), row.lineHeights);
        EXPECT_EQ(PlainText(), row.text);
    }
}

TEST_F(RichTextTest, ColourAndFontScopesEndWithTheirElementAndParagraph)
{
    box->AppendText(L"<FontColor FontColor=\"255,1,2,3\"><FontName FontName=\"Big\"><Text Text=\"a\"/></FontName>"
                    L"<Text Text=\"b\"/></FontColor><Text Text=\"c\"/><FontColor><Text Text=\"d\"/></FontColor>");
    box->AppendText(L"<Text Text=\"e\"/>");
    EXPECT_EQ(box->GetContentHeight(), 20 + 16);
    EXPECT_EQ(Painted(), (Lines{"draw a at 10,20 font 1 colour 1,2,3", "draw b at 20,24 font 0 colour 1,2,3",
                                "draw c at 30,24 font 0 colour 255,255,255", "draw d at 40,24 font 0 colour 0,0,0",
                                "draw e at 10,40 font 0 colour 255,255,255"}));
    EXPECT_EQ(std::wstring(box->GetLastParagraphText()->GetUtf16()), L"e\r\n");
}

TEST_F(RichTextTest, LinksArePaintedRaisedAndUnderlinedAndOffscreenParagraphsSkipped)
{
    box->AppendText(L"<HyperLink Text=\"ab\" URL=\"http://x\"/><Expression Expression=\"3\"/>");
    for (int i = 0; i < 6; ++i)
        box->AppendText(L"<Text Text=\"z\"/>");
    EXPECT_EQ(Painted(), (Lines{"draw a at 10,19 font 0 colour 255,255,255", "fill 10,35,10,1",
                                "draw b at 20,19 font 0 colour 255,255,255", "fill 20,35,10,1",
                                "image 30,24,12,12 from 0,0,12,12 tint 255,255,255,255",
                                "draw z at 10,36 font 0 colour 255,255,255",
                                "draw z at 10,52 font 0 colour 255,255,255",
                                "draw z at 10,68 font 0 colour 255,255,255"}))
        << "a paragraph is drawn while its top is inside the box";
    box->SetScrollOffset(40);
    const Lines scrolled = Painted();
    ASSERT_FALSE(scrolled.empty());
    EXPECT_EQ(scrolled.front(), "draw z at 10,12 font 0 colour 255,255,255") << "a paragraph partly above stays";
}

namespace {

struct ClickLog
{
    std::vector<std::string> lines;
    bool handleLinks = false;

    static std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }
    void OnButton(void*, tagEventArgs* args)
    {
        auto* record = static_cast<tagRichOutputBoxTextButtonClickedEventArgs*>(args);
        lines.push_back("button " + Narrow(record->name) + " " + Narrow(record->tag) + " " + Narrow(record->text));
    }
    void OnLink(void*, tagEventArgs* args)
    {
        auto* record = static_cast<tagRichOutputBoxHyperLinkClickedEventArgs*>(args);
        lines.push_back("link " + Narrow(record->name) + " " + Narrow(record->url));
        record->handled = handleLinks;
    }
    void OnImage(void*, tagEventArgs* args)
    {
        auto* record = static_cast<tagRichOutputBoxImageClickedEventArgs*>(args);
        lines.push_back("image " + Narrow(record->name) + " " + Narrow(record->filename));
    }
    void Watch(IUIWindow* window)
    {
        window->AddMemberFunctionDelegate(kRichOutputBoxTextButtonClickedEvent, this, &ClickLog::OnButton);
        window->AddMemberFunctionDelegate(kRichOutputBoxHyperLinkClickedEvent, this, &ClickLog::OnLink);
        window->AddMemberFunctionDelegate(kRichOutputBoxImageClickedEvent, this, &ClickLog::OnImage);
    }
};

std::vector<std::wstring> g_opened;
void RecordOpened(const wchar_t* url) { g_opened.push_back(url); }

struct Press
{
    const char* name;
    int x, y;
    const char* event; // "" for none
};

// Line one: button "ab" at x 10-30, button "c" at 30-40, link "d" at 40-50,
// text "e" at 50-60, picture 3 at 60-72 (rows 24-36 for the 12-pixel picture,
// 20-36 for the 16-pixel units); line two: the image file at 10-34.
const Press kPresses[] = {
    {"a text button", 15, 30, "button b1 t1 ab"},
    {"the boundary of two buttons goes to the first", 30, 30, "button b1 t1 ab"},
    {"the second button", 35, 30, "button b2  c"},
    {"a link", 45, 22, "link l1 http://example.com/"},
    {"plain text raises nothing", 55, 30, ""},
    {"an expression", 66, 30, "image  "},
    {"above the shorter picture", 66, 22, ""},
    {"an image from a file", 20, 45, "image pic tall.bmp"},
    {"empty space", 90, 70, ""},
};

} // namespace

TEST_F(RichTextTest, PressesRaiseTheFirstUnitsEventOnly)
{
    g_opened.clear();
    Box()->SetLinkOpener(&RecordOpened);
    ClickLog log;
    log.Watch(box);
    log.handleLinks = true;
    box->AppendText(L"<TextButton Name=\"b1\" Tag=\"t1\" Text=\"ab\"/><TextButton Name=\"b2\" Text=\"c\"/>"
                    L"<HyperLink Name=\"l1\" Text=\"d\" URL=\"http://example.com/\"/><Text Text=\"e\"/>"
                    L"<Expression Expression=\"3\"/><NewLine/><Image Name=\"pic\" Filename=\"tall.bmp\"/>");
    for (const Press& row : kPresses) {
        SCOPED_TRACE(row.name);
        log.lines.clear();
        ui.driver->RaiseLButtonDown(row.x, row.y);
        ui.driver->RaiseLButtonUp(row.x, row.y);
        EXPECT_EQ(log.lines, row.event[0] != '\0' ? Lines{row.event} : Lines{});
    }
    EXPECT_TRUE(g_opened.empty()) << "a handled link is not opened";
}

TEST_F(RichTextTest, APressInsideTheBoxIsTakenEvenOnPlainText)
{
    EventLog behind;
    IUIWindow* back = ui.ui->GetRootWindow();
    behind.Watch(back, {WINDOW_EVENT_LBUTTON_DOWN});
    TIntrusivePointer<IUIWindow> under(new CUIWindow());
    under->SetName(L"under");
    back->AddChild(under.Get());
    under->SetRect(0, 0, 400, 300);
    ui.ui->GetRootWindow()->BringChildToFront(box);
    behind.Watch(under.Get(), {WINDOW_EVENT_LBUTTON_DOWN});
    box->AppendText(L"<Text Text=\"plain\"/>");
    ui.driver->RaiseLButtonDown(15, 25);
    ui.driver->RaiseLButtonDown(200, 200);
    EXPECT_EQ(behind.lines, (Lines{"under down"}));
}

namespace {
struct LinkRule
{
    const wchar_t* url;
    bool opened;
    const wchar_t* logged; // how a refused address is written in the log
};
const LinkRule kLinkRules[] = {
    {L"http://example.com/", true, nullptr},
    {L"HTTPS://example.com/a?b", true, nullptr},
    {L"file:///C:/Windows/notepad.exe", false, L"<file:///C:/Windows/notepad.exe>"},
    {L"C:\\Windows\\notepad.exe", false, L"<C:\\\\Windows\\\\notepad.exe>"},
    {L"notepad.exe", false, L"<notepad.exe>"},
    {L"javascript:alert(1)", false, L"<javascript:alert(1)>"},
    {L"http:example.com", false, L"<http:example.com>"},
    {L"", false, L"<>"},
    // Control characters cannot forge a line of the log's own.
    {L"x\x1b[2J\tWarning: forged", false, L"<x\\u001B[2J\\tWarning: forged>"},
};
} // namespace

TEST_F(RichTextTest, AnUnhandledLinkOpensOnlyWebAddresses)
{
    Box()->SetLinkOpener(&RecordOpened);
    for (const LinkRule& rule : kLinkRules) {
        SCOPED_TRACE(testing::Message() << std::string(rule.url, rule.url + wcslen(rule.url)));
        g_opened.clear();
        RVTest::LogCapture capture;
        box->Clear();
        box->AppendText((L"<HyperLink Text=\"go\" URL=\"" + std::wstring(rule.url) + L"\"/>").c_str());
        ui.driver->RaiseLButtonDown(15, 30);
        EXPECT_EQ(g_opened, rule.opened ? std::vector<std::wstring>{rule.url} : std::vector<std::wstring>{});
        EXPECT_EQ(capture.CountContaining(L"not opened"), rule.opened ? 0 : 1);
        if (rule.logged != nullptr) {
            EXPECT_EQ(capture.CountContaining(rule.logged), 1);
        }
    }
}

TEST_F(RichTextTest, AnimatedPicturesRepaintOnTicksUntilCleared)
{
    box->AppendText(L"<Expression Expression=\"3\"/>");
    CUIWindow* root = ui.Root();
    ui.driver->calls.clear();
    root->OnFrameMove(1000);
    EXPECT_EQ(ui.driver->Count("invalidate"), 0) << "still pictures never repaint";
    box->AppendText(L"<Expression Expression=\"5\"/>");
    EXPECT_TRUE(Box()->IsAnimating());
    ui.driver->calls.clear();
    root->OnFrameMove(30);
    root->OnFrameMove(11);
    EXPECT_EQ(ui.driver->Count("invalidate"), 0);
    root->OnFrameMove(1);
    EXPECT_EQ(ui.driver->Count("invalidate"), 1);
    root->OnFrameMove(40);
    EXPECT_EQ(ui.driver->Count("invalidate"), 1);
    root->OnFrameMove(1);
    EXPECT_EQ(ui.driver->Count("invalidate"), 2);
    box->Clear();
    EXPECT_FALSE(Box()->IsAnimating());
}

TEST_F(RichTextTest, AnImageLoadsItsFileOnceIntoAnEntryOfItsOwn)
{
    box->AppendText(L"<Image Filename=\"small.bmp\"/><Image Filename=\"small.bmp\"/><Image Filename=\"gone.bmp\"/>");
    const std::wstring text = PlainText();
    int first = -1, second = -1, missing = 0;
    ASSERT_EQ(swscanf(text.c_str(), L"/:%d/:%d/:%d", &first, &second, &missing), 3);
    EXPECT_GE(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(missing, -1);
    EXPECT_EQ(PlainText(), text) << "walking again does not load again";
    EXPECT_EQ(box->GetContentHeight(), 12);
}

TEST_F(RichTextTest, ClearingOrDestroyingTheBoxGivesBackTheEntriesOfItsImages)
{
    auto* table = dynamic_cast<CExpressionManager*>(IExpressionManager_GetInstance());
    ASSERT_NE(table, nullptr);
    const int32_t before = table->GetExpressionCount();
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 30; ++i)
            box->AppendText(L"<Image Filename=\"small.bmp\"/>");
        box->Clear();
        EXPECT_EQ(table->GetExpressionCount(), before);
    }
    // Another box keeps its own picture while this one goes.
    IRichOutputBox* other = ui.Add<IRichOutputBox>(L"RichOutputBox", 10, 100, 100, 60);
    other->AppendText(L"<Image Filename=\"tall.bmp\"/>");
    box->AppendText(L"<Image Filename=\"small.bmp\"/>");
    ui.ui->GetRootWindow()->RemoveWindow(box);
    box = nullptr;
    int number = -1;
    ASSERT_EQ(swscanf(other->GetPlainText()->GetUtf16(), L"/:%d", &number), 1);
    int32_t width = 0, height = 0;
    table->GetExpressionSize(ui.ui.Get(), number, &width, &height);
    EXPECT_EQ(height, 30);
    other->Clear();
    EXPECT_EQ(table->GetExpressionCount(), before);
}

// The program names the folder "inner" of the test folder as its own and
// works there; "outside.bmp" lies beside that folder.
TEST_F(RichTextTest, MarkupPicturesLoadOnlyFromTheProgramsOwnFolders)
{
    ASSERT_TRUE(WriteBmp(L"outside.bmp", 12, 12, [](int, int) { return 0xFFFF0000u; }));
    const std::wstring inner = folder.Child(L"inner");
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    RVTest::ScopedCurrentFolder innerCurrent(inner);
    ASSERT_TRUE(CreateDirectoryW(L"sub", nullptr));
    ASSERT_TRUE(WriteBmp(L"sub\\small.bmp", 12, 12, [](int, int) { return 0xFFFF0000u; }));
    RemoveProgramFolder(folder.Path().c_str());
    ScopedProgramFolder innerOwn(inner);
    struct Row
    {
        std::wstring name;
        bool loaded;
    };
    const Row rows[] = {
        {L"sub\\small.bmp", true},
        {L"./sub/small.bmp", true},
        {L"sub\\..\\sub\\small.bmp", true},
        {inner + L"\\sub\\small.bmp", true},
        {L"..\\outside.bmp", false},
        {L"sub\\..\\..\\outside.bmp", false},
        {folder.Child(L"outside.bmp"), false},
        {L"\\\\127.0.0.1\\c$\\outside.bmp", false},
        {L"\\\\?\\" + folder.Child(L"outside.bmp"), false},
        {L"sub\\small.bmp:hidden", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name.begin(), row.name.end()));
        RVTest::LogCapture capture;
        box->Clear();
        box->AppendText((L"<Image Filename=\"" + row.name + L"\"/>").c_str());
        EXPECT_EQ(box->GetContentHeight(), row.loaded ? 12 : 0);
        EXPECT_EQ(capture.CountContaining(L"not loaded"), row.loaded ? 0 : 1);
    }
}

// The folder the program was started in is the player's, not the program's:
// only folders the program names count, and a drive's root never does.
TEST_F(RichTextTest, TheStartingFolderAndDriveRootsAreNoProgramFolders)
{
    const std::wstring player = folder.Child(L"player");
    ASSERT_TRUE(CreateDirectoryW(player.c_str(), nullptr));
    RVTest::ScopedCurrentFolder current(player);
    ASSERT_TRUE(WriteBmp(L"mine.bmp", 12, 12, [](int, int) { return 0xFFFF0000u; }));
    const std::wstring root = player.substr(0, 3);
    struct Row
    {
        const char* what;
        const wchar_t* named; // the folder the program names, or none
        bool loaded;
    };
    const Row rows[] = {
        {"the current folder alone", nullptr, false},
        {"a drive's root named", root.c_str(), false},
        {"the folder named", player.c_str(), true},
    };
    RemoveProgramFolder(folder.Path().c_str());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<ScopedProgramFolder> named(row.named != nullptr ? new ScopedProgramFolder(row.named) : nullptr);
        box->Clear();
        box->AppendText(L"<Image Filename=\"mine.bmp\"/>");
        EXPECT_EQ(box->GetContentHeight(), row.loaded ? 12 : 0);
    }
}

// The expression table is shared: a set load may drop or take over a box's
// entry, and its number may go to another box. Each box keeps its own
// picture and gives back only the entry it still holds.
TEST_F(RichTextTest, ABoxKeepsItsPictureAndGivesBackOnlyItsOwnEntry)
{
    IExpressionManager* table = IExpressionManager_GetInstance();
    IRichOutputBox* other = ui.Add<IRichOutputBox>(L"RichOutputBox", 10, 100, 100, 60);
    const auto numberIn = [](IRichOutputBox* b) {
        int number = -1;
        swscanf(b->GetPlainText()->GetUtf16(), L"/:%d", &number);
        return number;
    };
    const auto heightOf = [&](int32_t number) {
        int32_t width = 0, height = 0;
        table->GetExpressionSize(ui.ui.Get(), number, &width, &height);
        return height;
    };
    box->AppendText(L"<Image Filename=\"small.bmp\"/>");
    const int32_t first = numberIn(box);
    ASSERT_GE(first, 0);
    // A smaller set drops the entry; the other box's picture takes its number.
    table->LoadExpressionSet(ui.ui.Get(), L"none%d.bmp", first);
    other->AppendText(L"<Image Filename=\"tall.bmp\"/>");
    ASSERT_EQ(numberIn(other), first);
    box->Clear();
    EXPECT_EQ(heightOf(numberIn(other)), 30) << "clearing one box emptied the other's picture";

    // An entry set over keeps the box's own picture on screen.
    table->SetExpression(ui.ui.Get(), numberIn(other), L"small.bmp");
    EXPECT_EQ(heightOf(numberIn(other)), 30);
    other->Clear();
    EXPECT_EQ(heightOf(first), 12) << "the box gave back an entry it no longer held";
}

// ---- Rich label -----------------------------------------------------------------------

namespace {
struct RichLabelTest : RichTextTest
{
    IRichLabel* label = ui.Add<IRichLabel>(L"RichLabel", 10, 100, 100, 40);
    CRichLabel* Label() { return dynamic_cast<CRichLabel*>(label); }
    std::wstring LabelText() { return Label()->GetPlainText()->GetUtf16(); }
};
} // namespace

TEST_F(RichLabelTest, TitlesBecomeMarkupAndTextsBecomeExpressions)
{
    label->SetText(L"a/:07");
    EXPECT_EQ(LabelText(), L"a/:07\r\n");
    EXPECT_EQ(label->GetContentHeight(), 30) << "expression 7 is 30 pixels high";
    EXPECT_EQ(std::wstring(label->GetTitle()), L"a/:07");
    label->SetTitle(L"a/:07");
    EXPECT_EQ(label->GetContentHeight(), 16) << "through the title the code stays text";
    label->SetTitle(L"x{<TextButton Name=\"n\" Text=\"go\"/>}");
    EXPECT_EQ(LabelText(), L"xgo\r\n");
    // A press on the label's button raises nothing and is not taken.
    ClickLog log;
    log.Watch(label);
    TIntrusivePointer<IUIWindow> under(new CUIWindow());
    under->SetName(L"under");
    ui.ui->GetRootWindow()->AddChild(under.Get());
    under->SetRect(0, 0, 400, 300);
    ui.ui->GetRootWindow()->BringChildToFront(label);
    EventLog behind;
    behind.Watch(under.Get(), {WINDOW_EVENT_LBUTTON_DOWN});
    ui.driver->RaiseLButtonDown(25, 105);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(behind.lines, (Lines{"under down"}));
}

TEST_F(RichLabelTest, TitleColourAndFontRebuildTheContent)
{
    label->SetTitleColor(tagColor(9, 9, 9));
    EXPECT_TRUE(Label()->GetParagraphs().empty()) << "an empty title builds nothing";
    label->SetTitle(L"ab");
    Label()->SetScrollOffset(5);
    label->SetTitleColor(tagColor(1, 2, 3));
    EXPECT_EQ(Label()->GetScrollOffset(), 0);
    label->SetTitleFont(L"Big");
    EXPECT_EQ(Label()->GetParagraphs().size(), 1u);
    EXPECT_EQ(label->GetContentHeight(), 20);
    EXPECT_EQ(Painted(), (Lines{"draw a at 10,100 font 1 colour 1,2,3", "draw b at 20,100 font 1 colour 1,2,3"}));
}

TEST_F(RichLabelTest, LoadedGapsApplyOnlyToLaterContent)
{
    ui.Load(L"<RichLabel Name=\"r\" Width=\"15\" Height=\"40\" LineGap=\"5\" Title=\"ab\"/>"
            L"<RichLabel Name=\"empty\" Width=\"50\" Height=\"40\" ParagraphGap=\"4\"/>");
    auto* loaded = dynamic_cast<IRichLabel*>(ui.ui->GetRootWindow()->FindWindow(L"r"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetLineGap(), 5);
    EXPECT_EQ(loaded->GetContentHeight(), 33) << "measured before the gap was read";
    loaded->SetTitle(L"ab");
    EXPECT_EQ(loaded->GetContentHeight(), 43);
    auto* empty = dynamic_cast<CRichLabel*>(ui.ui->GetRootWindow()->FindWindow(L"empty"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetParagraphs().size(), 1u);
    EXPECT_EQ(empty->GetContentHeight(), 0);
}
