#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/IGdiFontManager.h"

using namespace UITest;

namespace {

constexpr Gdiplus::ARGB kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00, kBlack = 0xFF000000;

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
