#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/IGdiFontManager.h"

using namespace UITest;

namespace {

constexpr Gdiplus::ARGB kBlue = 0xFF0000FF;

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
