#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/IGdiFontManager.h"

using namespace UITest;

namespace {

constexpr Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00,
                        kMagenta = 0xFFFF00FF, kBlack = 0xFF000000, kGrey = 0xFF404040;

// A whole scene drawn by the UI system into a bitmap.
struct Scene : ::testing::Test
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};
    TIntrusivePointer<BitmapDriver> canvas{new BitmapDriver(200, 150)};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(canvas.Get())};

    void SetUp() override
    {
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 200, 150);
        auto solid = [&](const wchar_t* name, uint32_t argb) {
            ASSERT_TRUE(WriteBmp(folder.Child(name), 2, 2, [argb](int, int) { return argb; }));
        };
        solid(L"red.bmp", kRed);
        solid(L"green.bmp", kGreen);
        solid(L"white.bmp", 0xFFFFFFFF);
        solid(L"grey.bmp", kGrey);
        // 6 x 6: a blue border two pixels wide round a yellow middle.
        ASSERT_TRUE(WriteBmp(folder.Child(L"frame.bmp"), 6, 6, [](int x, int y) {
            return (x < 2 || y < 2 || x > 3 || y > 3) ? kBlue : kYellow;
        }));
        RVGameEngine::DirectUI::IFontManager_GetInstance()->AddFont(L"SceneText", L"Liberation Sans", 18, 0);
    }
    void TearDown() override { ui->ResetWindowTree(); }

    void Load(const wchar_t* text)
    {
        TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
        ui->GetRootWindow()->LoadAttributes(document->Parse(text));
    }
};

} // namespace

TEST_F(Scene, NestedAnchoredNinePartAndTintedPanelsPaintInTheirPlaces)
{
    Load(L"<Panel Name=\"Outer\" X=\"10\" Y=\"10\" Width=\"180\" Height=\"130\">\r\n"
         L"  <Image Tag=\"Background\" Filename=\"red.bmp\"/>\r\n"
         L"  <Panel Name=\"Corner\" X=\"-30\" Y=\"-30\" Width=\"20\" Height=\"20\" AnchorMode=\"BottomRight\">\r\n"
         L"    <Image Tag=\"Background\" Filename=\"green.bmp\"/>\r\n"
         L"    <Panel Name=\"Overflow\" Width=\"100\" Height=\"100\" BackgroundImageColor=\"255,0,255\">\r\n"
         L"      <Image Tag=\"Background\" Filename=\"white.bmp\"/>\r\n"
         L"    </Panel>\r\n"
         L"  </Panel>\r\n"
         L"  <Panel Name=\"Framed\" X=\"10\" Y=\"10\" Width=\"60\" Height=\"40\">\r\n"
         L"    <Image Tag=\"Background\" Filename=\"frame.bmp\"/>\r\n"
         L"  </Panel>\r\n"
         L"  <Panel Name=\"Tinted\" X=\"0\" Y=\"-20\" Width=\"40\" Height=\"20\" AnchorMode=\"BottomCenter\" "
         L"BackgroundImageColor=\"0,0,255\">\r\n"
         L"    <Image Tag=\"Background\" Filename=\"white.bmp\"/>\r\n"
         L"  </Panel>\r\n"
         L"  <Panel Name=\"Hidden\" Visible=\"false\" X=\"0\" Width=\"180\" Height=\"130\">\r\n"
         L"    <Image Tag=\"Background\" Filename=\"green.bmp\"/>\r\n"
         L"  </Panel>\r\n"
         L"</Panel>\r\n");
    IUIWindow* framed = ui->GetRootWindow()->FindWindow(L"Framed");
    ASSERT_NE(framed, nullptr);
    framed->GetBackgroundImage()->SetNineGrid(true, 2, 2);
    canvas->RaisePaint();

    const struct
    {
        int x, y;
        Gdiplus::ARGB expected;
        const char* where;
    } points[] = {
        {5, 5, kBlack, "outside the outer panel"},
        {15, 100, kRed, "outer panel"},
        {170, 120, kMagenta, "overflowing child inside its parent's clip"},
        {185, 135, kRed, "overflowing child outside its parent's clip"},
        {20, 20, kBlue, "nine-part corner"},
        {50, 21, kBlue, "nine-part top edge"},
        {21, 35, kBlue, "nine-part left edge"},
        {79, 35, kBlue, "nine-part right edge"},
        {50, 35, kYellow, "nine-part middle"},
        {110, 130, kBlue, "tinted, anchored at the bottom centre"},
        {110, 109, kRed, "above the tinted panel"},
    };
    for (const auto& p : points)
        EXPECT_EQ(canvas->At(p.x, p.y), p.expected) << p.where << " at " << p.x << "," << p.y;
    // Painting leaves no clip behind.
    bool clipped = true;
    ui->GetClipRect(&clipped, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(clipped);
}

TEST_F(Scene, LabelsDrawTheirTitlesAlignedInTheirColour)
{
    Load(L"<Panel Width=\"200\" Height=\"150\">\r\n"
         L"  <Label Name=\"TopLeft\" X=\"10\" Y=\"10\" Width=\"180\" Height=\"40\" Title=\"Install\" "
         L"TitleFont=\"SceneText\" TitleColor=\"255,255,0\"/>\r\n"
         L"  <Label Name=\"Centred\" X=\"10\" Y=\"60\" Width=\"180\" Height=\"40\" Title=\"Install\" "
         L"TitleFont=\"SceneText\" TitleColor=\"128,0,0,255\" TitleAlign=\"CenterCenter\"/>\r\n"
         L"  <Label Name=\"Cut\" X=\"10\" Y=\"110\" Width=\"180\" Height=\"30\" Title=\"Installing\" "
         L"TitleFont=\"SceneText\" MaxBytesShow=\"5\" TitleStartPos=\"20\"/>\r\n"
         L"</Panel>\r\n");
    canvas->RaisePaint();
    int32_t textWidth = 0, textHeight = 0;
    canvas->MeasureText(canvas->GetFont(L"SceneText"), L"Install", &textWidth, &textHeight);
    auto inkIn = [&](int top, int bottom) {
        int left = 1 << 30, right = -1;
        std::vector<Gdiplus::ARGB> colours;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < 200; ++x) {
                const Gdiplus::ARGB c = canvas->At(x, y);
                if (c == kBlack)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                if (std::find(colours.begin(), colours.end(), c) == colours.end())
                    colours.push_back(c);
            }
        }
        return std::make_tuple(left, right, colours);
    };
    // Top-left in yellow; the colour is drawn opaque whatever its alpha.
    auto [left1, right1, colours1] = inkIn(10, 50);
    EXPECT_LE(left1, 12);
    EXPECT_GE(left1, 10);
    EXPECT_NE(std::find(colours1.begin(), colours1.end(), kYellow), colours1.end());
    auto [left2, right2, colours2] = inkIn(60, 100);
    const int centredLeft = 90 + 10 - textWidth / 2;
    EXPECT_GE(left2, centredLeft - 1);
    EXPECT_LE(left2, centredLeft + 3);
    EXPECT_NE(std::find(colours2.begin(), colours2.end(), kBlue), colours2.end());
    // "Installing" cut to "Ins.." and moved right by its start position.
    int32_t cutWidth = 0;
    canvas->MeasureText(canvas->GetFont(L"SceneText"), L"Ins..", &cutWidth, nullptr);
    auto [left3, right3, colours3] = inkIn(110, 140);
    EXPECT_GE(left3, 30);
    EXPECT_LE(right3, 30 + cutWidth + 1);
    (void)right1;
    (void)right2;
    (void)colours3;
}
