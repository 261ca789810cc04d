#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/ICheckBox.h"

using namespace ControlTest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
constexpr int kNoLook = -1;

// A state of a box skinned from a strip, and the frame it shows.
struct LookRow
{
    const wchar_t* tag;
    int frames;
    bool checked, enabled, hovering;
    int frameShown;
};

testing::Message Describe(const LookRow& row)
{
    return testing::Message() << row.frames << " frames" << (row.checked ? ", checked" : "")
                              << (row.enabled ? "" : ", disabled") << (row.hovering ? ", hovering" : "");
}

// Puts the box in the row's state and paints it.
void PaintInState(PaintedUI& painted, ICheckBox* box, const LookRow& row)
{
    box->SetChecked(row.checked);
    if (row.hovering)
        painted.driver->RaiseMouseMove(15, 15);
    if (!row.enabled)
        box->Disable();
    painted.Paint();
}
} // namespace

TEST(CheckBoxLooks, EachStripFormShowsTheFrameOfTheState)
{
    const LookRow rows[] = {
        {L"Smart2", 2, false, true, false, 0}, {L"Smart2", 2, true, true, false, 1},
        {L"Smart2", 2, false, true, true, 0},  {L"Smart2", 2, true, false, false, 1},
        {L"Smart4", 4, false, true, false, 0}, {L"Smart4", 4, false, true, true, 1},
        {L"Smart4", 4, true, true, false, 2},  {L"Smart4", 4, true, true, true, 2},
        {L"Smart4", 4, false, false, false, 3}, {L"Smart4", 4, true, false, false, 3},
        {L"Smart6", 6, false, true, false, 0}, {L"Smart6", 6, false, true, true, 1},
        {L"Smart6", 6, false, false, false, 2}, {L"Smart6", 6, true, true, false, 3},
        {L"Smart6", 6, true, true, true, 4},   {L"Smart6", 6, true, false, true, 5},
    };
    for (const LookRow& row : rows) {
        SCOPED_TRACE(Describe(row));
        SkinFolder skin;
        skin.Strip(L"box.bmp", 20, 16, row.frames);
        PaintedUI painted;
        painted.Load((std::wstring(L"<CheckBox Name=\"box\" X=\"10\" Y=\"10\" Width=\"90\" Height=\"50\" "
                                   L"EnableHoverAnimation=\"false\"><Image Tag=\"") +
                      row.tag + L"\" Filename=\"box.bmp\"/></CheckBox>")
                         .c_str());
        ICheckBox* box = Find<ICheckBox>(painted.ui.Get(), L"box");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->GetWidth(), 20);
        EXPECT_EQ(box->GetHeight(), 16);
        EXPECT_EQ(box->GetBackgroundImage(), nullptr);
        PaintInState(painted, box, row);
        EXPECT_EQ(painted.driver->At(20, 18), kFrameColours[row.frameShown]);
        const BitmapDriver::Ink ink = painted.driver->InkIn(0, 0, 200, 100);
        EXPECT_EQ(ink.right, 29);
        EXPECT_EQ(ink.bottom, 25);
    }
}

TEST(CheckBoxLooks, SeparateLooksKeepTheSizeAndAStripWinsOverThem)
{
    struct Row
    {
        const wchar_t* images;
        bool checked;
        int width;
        int colourShown;
    };
    const Row rows[] = {
        {L"<Image Tag=\"Unchecked\" Filename=\"a.bmp\"/><Image Tag=\"Checked\" Filename=\"b.bmp\"/>", false, 30, 0},
        {L"<Image Tag=\"Unchecked\" Filename=\"a.bmp\"/><Image Tag=\"Checked\" Filename=\"b.bmp\"/>", true, 30, 1},
        {L"<Image Tag=\"Checked\" Filename=\"b.bmp\"/>", false, 30, kNoLook},
        {L"<Image Tag=\"Unchecked\" Filename=\"a.bmp\"/><Image Tag=\"Smart6\" Filename=\"six.bmp\"/>"
         L"<Image Tag=\"Smart2\" Filename=\"odd.bmp\"/>",
         true, 50, 1},
    };
    for (const Row& row : rows) {
        SkinFolder skin;
        skin.Solid(L"a.bmp", 40, 40, kFrameColours[0]);
        skin.Solid(L"b.bmp", 40, 40, kFrameColours[1]);
        skin.Strip(L"six.bmp", 10, 10, 6);
        // 101 wide: two frames of 50, the last column dropped.
        ASSERT_TRUE(WriteBmp(skin.folder.Child(L"odd.bmp"), 101, 20,
                             [](int x, int) { return kFrameColours[x < 50 ? 0 : 1]; }));
        PaintedUI painted;
        painted.Load((std::wstring(L"<CheckBox Name=\"box\" Width=\"30\" Height=\"20\" Checked=\"") +
                      (row.checked ? L"true" : L"false") + L"\">" + row.images + L"</CheckBox>")
                         .c_str());
        ICheckBox* box = Find<ICheckBox>(painted.ui.Get(), L"box");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->IsChecked(), row.checked);
        EXPECT_EQ(box->GetWidth(), row.width);
        painted.Paint();
        EXPECT_EQ(painted.driver->At(5, 5), row.colourShown == kNoLook ? kBackground : kFrameColours[row.colourShown]);
        // Drawn unscaled and cut to the window.
        EXPECT_EQ(painted.driver->InkIn(0, 0, 200, 100).right, row.colourShown == kNoLook ? -1 : row.width - 1);
    }
}

// A box skinned from a white six-frame strip is skinned again from a strip of
// fewer frames: the looks the new layout has no frame for show nothing of the
// white strip.
TEST(CheckBoxLooks, ALaterStripLeavesNoLookOfAnEarlierOne)
{
    const LookRow rows[] = {
        {L"Smart2", 2, false, true, true, 0},   {L"Smart2", 2, true, true, true, 1},
        {L"Smart2", 2, false, false, false, 0}, {L"Smart2", 2, true, false, false, 1},
        {L"Smart4", 4, true, true, true, 2},    {L"Smart4", 4, true, false, false, 3},
    };
    for (const LookRow& row : rows) {
        SCOPED_TRACE(Describe(row));
        SkinFolder skin;
        ASSERT_TRUE(WriteBmp(skin.folder.Child(L"white.bmp"), 120, 16, [](int, int) { return 0xFFFFFFFFu; }));
        skin.Strip(L"box.bmp", 20, 16, row.frames);
        PaintedUI painted;
        painted.Load(L"<CheckBox Name=\"box\" X=\"10\" Y=\"10\" EnableHoverAnimation=\"false\">"
                     L"<Image Tag=\"Smart6\" Filename=\"white.bmp\"/></CheckBox>");
        ICheckBox* box = Find<ICheckBox>(painted.ui.Get(), L"box");
        ASSERT_NE(box, nullptr);
        TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
        RVGameEngine::Common::IXmlElement* root =
            document->Parse((std::wstring(L"<CheckBox X=\"10\" Y=\"10\" EnableHoverAnimation=\"false\"><Image Tag=\"") +
                             row.tag +
                             L"\" Filename=\"box.bmp\"/></CheckBox>")
                                .c_str());
        ASSERT_EQ(root->GetChildCount(), 1);
        box->LoadAttributes(root->GetChild(0));
        PaintInState(painted, box, row);
        EXPECT_EQ(painted.driver->At(20, 18), kFrameColours[row.frameShown]);
    }
}
