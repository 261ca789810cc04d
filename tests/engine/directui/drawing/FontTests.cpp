#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/drawing/CGdiFontManager.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "tests/support/ExpectEngineFatal.h"
#include "tests/support/LogCapture.h"

using namespace UITest;

namespace {

constexpr Gdiplus::ARGB kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kBlue = 0xFF0000FF;

struct Fonts : ::testing::Test
{
    CGdiFontManager fonts;
    TIntrusivePointer<BitmapDriver> canvas{new BitmapDriver(200, 60)};
    Gdiplus::Graphics* g = canvas->GetGraphics();
    int sans = fonts.AddFont(L"Sans", L"Liberation Sans", 20, 0);
};

} // namespace

TEST(FontManager, FontsKeepTheirOrderAndTheFirstOfANameIsFound)
{
    CGdiFontManager fonts;
    EXPECT_EQ(fonts.GetFont(L"Default"), -1);
    EXPECT_EQ(fonts.AddFont(L"Title", L"Liberation Sans", 20, kFontStyleBold | kFontStyleUnderline), 0);
    EXPECT_EQ(fonts.AddFont(L"Title", L"Liberation Sans", 12, 0), 1);
    EXPECT_EQ(fonts.GetDefaultFont(), 2);
    EXPECT_EQ(fonts.GetFont(L"Title"), 0);
    // Sizes are pixels, whatever the screen's resolution.
    EXPECT_EQ(fonts.GetFontAt(2)->GetFont()->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_EQ(fonts.GetFontHeight(2), 14);
    // Unknown names and styles stop the program.
    EXPECT_ENGINE_FATAL(fonts.GetFont(L"title"));
    EXPECT_ENGINE_FATAL(fonts.AddFont(L"Odd", L"Liberation Sans", 12, 8));
}

TEST_F(Fonts, AFontListAddsItsEntriesIncludingSubstitutedFacesAndFallsBackForUnknownOnes)
{
    RVTest::TempFolder folder;
    WriteUtf16(folder.Child(L"FontList.xml"),
               L"<FontList>\r\n"
               L"<Font Name=\"Title\" FontName=\"Liberation Sans\" FontSize=\"20\" Bold=\"true\" Underline=\"true\"/>\r\n"
               L"<Font Name=\"Song\" FontName=\"宋体\" FontSize=\"16\"/>\r\n"
               L"<Other Name=\"Odd\" FontName=\"No Such Family Anywhere\" FontSize=\"12\" Italic=\"true\" "
               L"Bold=\"True\"/>\r\n"
               L"</FontList>\r\n");
    WriteUtf16(folder.Child(L"NoList.xml"), L"<Fonts><Font Name=\"Lost\" FontName=\"Liberation Sans\"/></Fonts>\r\n");
    RVTest::ScopedCurrentFolder current(folder.Path());
    RVTest::LogCapture log;
    fonts.LoadFontList(L"FontList.xml");
    fonts.LoadFontList(L"NoList.xml");
    fonts.LoadFontList(L"Missing.xml");
    ASSERT_EQ(fonts.GetFontCount(), 4);
    EXPECT_EQ(fonts.GetFont(L"Title"), 1);
    EXPECT_EQ(fonts.GetFontAt(1)->GetFont()->GetStyle(), 5);
    EXPECT_EQ(fonts.GetFontHeight(2), 16);
    // The unknown face became the sans-serif one, style kept, and said so.
    EXPECT_EQ(fonts.GetFontAt(3)->GetFont()->GetStyle(), 2);
    EXPECT_EQ(log.CountContaining(L"No Such Family Anywhere"), 1);
    EXPECT_EQ(log.CountContaining(L"宋体"), 0);
    // The Chinese face measures and draws text.
    int32_t width = 0, height = 0;
    fonts.MeasureText(g, 2, L"安装游戏", &width, &height);
    EXPECT_GT(width, 40);
    fonts.DrawString(g, 2, L"安装", Gdiplus::Color(255, 255, 255, 255), 0, 0);
    EXPECT_FALSE(canvas->InkIn(0, 0, 200, 60).Empty());
}

TEST_F(Fonts, MeasuringCoversRangesAndEmptyRangesGiveTheLineHeight)
{
    int32_t whole = 0, height = 0, part = 0, partHeight = 0;
    fonts.MeasureText(g, sans, L"Wendmoor", &whole, &height);
    fonts.MeasureString(g, sans, L"Wendmoor", 0, 4, &part, &partHeight);
    EXPECT_GT(whole, part);
    EXPECT_GT(part, 0);
    EXPECT_GT(height, 15);
    // Trailing spaces count.
    int32_t spaced = 0;
    fonts.MeasureText(g, sans, L"Wendmoor  ", &spaced, nullptr);
    EXPECT_GT(spaced, whole);
    int32_t emptyWidth = -1, lineHeight = -1;
    fonts.MeasureString(g, sans, L"Wendmoor", 3, 3, &emptyWidth, &lineHeight);
    EXPECT_EQ(emptyWidth, 0);
    EXPECT_EQ(lineHeight, static_cast<int32_t>(fonts.GetFontAt(sans)->GetFont()->GetHeight(g)));
    // Ranges past the text are cut to it; indexes outside the list measure nothing.
    int32_t clipped = 0;
    fonts.MeasureString(g, sans, L"Wendmoor", 0, 400, &clipped, nullptr);
    EXPECT_EQ(clipped, whole);
    for (int32_t bad : {-1, 1, 99}) {
        int32_t w = -1, h = -1;
        fonts.MeasureText(g, bad, L"Wendmoor", &w, &h);
        EXPECT_EQ(w + h, 0) << bad;
        EXPECT_EQ(fonts.GetFontHeight(bad), 0);
        fonts.DrawString(g, bad, L"Wendmoor", Gdiplus::Color(255, 255, 255, 255), 0, 0);
        fonts.DrawTextAligned(g, bad, L"Wendmoor", Gdiplus::Color(255, 255, 255, 255), 0, 0, 100, 40, 0);
        fonts.DrawOutlineString(g, bad, L"Wendmoor", Gdiplus::Color(255, 255, 255, 255), 0, 0);
    }
    int32_t w = -1, h = -1;
    fonts.MeasureText(nullptr, sans, L"Wendmoor", &w, &h);
    fonts.DrawString(nullptr, sans, L"Wendmoor", Gdiplus::Color(255, 255, 255, 255), 0, 0);
    EXPECT_EQ(w + h, 0);
    EXPECT_TRUE(canvas->InkIn(0, 0, 200, 60).Empty());
}

TEST_F(Fonts, AlignedTextSitsWhereItsCodeSays)
{
    int32_t textWidth = 0, textHeight = 0;
    fonts.MeasureText(g, sans, L"Wendmoor", &textWidth, &textHeight);
    const int x = 10, y = 5, w = 180, h = 50;
    const struct
    {
        int align;
        int left;
        bool bottom;
    } cases[] = {{0, x, false},
                 {1, w / 2 + x - textWidth / 2, false},
                 {2, x + w - textWidth - 4, false},
                 {8, x + w - textWidth - 4, true},
                 {42, x, false},
                 {-3, x, false}};
    for (const auto& c : cases) {
        g->Clear(Gdiplus::Color(kBlack));
        fonts.DrawTextAligned(g, sans, L"Wendmoor", Gdiplus::Color(kWhite), x, y, w, h, c.align);
        const auto ink = canvas->InkIn(0, 0, 200, 60);
        ASSERT_FALSE(ink.Empty()) << c.align;
        EXPECT_GE(ink.left, c.left - 1) << c.align;
        EXPECT_LE(ink.left, c.left + 3) << c.align;
        EXPECT_LE(ink.right, c.left + textWidth + 1) << c.align;
        if (c.bottom)
            EXPECT_GE(ink.top, y + h - textHeight) << c.align;
        else
            EXPECT_LT(ink.top, y + textHeight / 2) << c.align;
    }
    // The outline renderer's plain text lands at the same place as the plain drawing.
    g->Clear(Gdiplus::Color(kBlack));
    fonts.DrawOutlineString(g, sans, L"Wendmoor", Gdiplus::Color(kWhite), x, y);
    const auto outline = canvas->InkIn(0, 0, 200, 60);
    EXPECT_GE(outline.left, x - 1);
    EXPECT_LE(outline.right, x + textWidth + 2);
}

namespace {

// Titles drawn by the UI system into a bitmap.
struct Titles : ::testing::Test
{
    TIntrusivePointer<BitmapDriver> canvas{new BitmapDriver(200, 150)};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(canvas.Get())};

    void SetUp() override
    {
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 200, 150);
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

TEST_F(Titles, LabelsDrawTheirTitlesAlignedInTheirColour)
{
    Load(L"<Panel Width=\"200\" Height=\"150\">\r\n"
         L"  <Label Name=\"Centred\" X=\"10\" Y=\"10\" Width=\"180\" Height=\"40\" Title=\"Install\" "
         L"TitleFont=\"SceneText\" TitleColor=\"128,0,0,255\" TitleAlign=\"CenterCenter\"/>\r\n"
         L"  <Label Name=\"Cut\" X=\"10\" Y=\"60\" Width=\"180\" Height=\"30\" Title=\"Installing\" "
         L"TitleFont=\"SceneText\" MaxBytesShow=\"5\" TitleStartPos=\"20\"/>\r\n"
         L"</Panel>\r\n");
    canvas->RaisePaint();
    // Centred, in blue drawn opaque whatever the colour's alpha.
    int32_t textWidth = 0, cutWidth = 0;
    canvas->MeasureText(canvas->GetFont(L"SceneText"), L"Install", &textWidth, nullptr);
    const auto centred = canvas->InkIn(0, 10, 200, 50);
    EXPECT_GE(centred.left, 100 - textWidth / 2 - 1);
    EXPECT_LE(centred.left, 100 - textWidth / 2 + 3);
    EXPECT_EQ(centred.colours.count(kBlue), 1u);
    // "Installing" cut to "Ins.." and moved right by its start position.
    canvas->MeasureText(canvas->GetFont(L"SceneText"), L"Ins..", &cutWidth, nullptr);
    const auto cut = canvas->InkIn(0, 60, 200, 90);
    EXPECT_GE(cut.left, 30);
    EXPECT_LE(cut.right, 30 + cutWidth + 1);
}
