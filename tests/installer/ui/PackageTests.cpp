#include "tests/installer/ui/UiTestSupport.h"

#include "installer/ui/CCommonDialog.h"
#include "installer/ui/CInstallScene.h"

#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/controls/ILabel.h"
#include "engine/directui/uisystem/IPanel.h"
#include "engine/directui/controls/IProcessBar.h"
#include "engine/directui/controls/IRichLabel.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <set>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;
using UiTests::tagDescribedControl;

namespace {

template <typename Interface>
bool IsA(IUIWindow* window)
{
    return dynamic_cast<Interface*>(window) != nullptr;
}

struct tagBoundName
{
    const wchar_t* file;
    const wchar_t* name;
    bool (*hasInterface)(IUIWindow*);
};

// Every name the window's code binds, with the interface it casts to.
const tagBoundName kBoundNames[] = {
    {kInstallSceneFile, L"PanelAd1", IsA<IPanel>},
    {kInstallSceneFile, L"ButtonClose", IsA<IButton>},
    {kInstallSceneFile, L"ButtonMinimization", IsA<IButton>},
    {kInstallSceneFile, L"PanelScene1", IsA<IPanel>},
    {kInstallSceneFile, L"ButtonSetup1", IsA<IButton>},
    {kInstallSceneFile, L"ButtonConfig", IsA<IButton>},
    {kInstallSceneFile, L"PanelScene2", IsA<IPanel>},
    {kInstallSceneFile, L"ProcessBarUpdate", IsA<IProcessBar>},
    {kInstallSceneFile, L"LabelInfo1", IsA<ILabel>},
    {kInstallSceneFile, L"LabelInfo2", IsA<ILabel>},
    {kInstallSceneFile, L"PanelScene3", IsA<IPanel>},
    {kInstallSceneFile, L"LabelPath", IsA<ILabel>},
    {kInstallSceneFile, L"LabelMemorySize", IsA<ILabel>},
    {kInstallSceneFile, L"ButtonSelectPath", IsA<IButton>},
    {kInstallSceneFile, L"CheckBoxConfig1", IsA<ICheckBox>},
    {kInstallSceneFile, L"CheckBoxConfig2", IsA<ICheckBox>},
    {kInstallSceneFile, L"ButtonSetup2", IsA<IButton>},
    {kInstallSceneFile, L"PanelScene4", IsA<IPanel>},
    {kInstallSceneFile, L"CheckBoxEULA", IsA<ICheckBox>},
    {kInstallSceneFile, L"CheckBoxConfig3", IsA<ICheckBox>},
    {kInstallSceneFile, L"ButtonEULA", IsA<IButton>},
    {kCommonDialogOKFile, L"ButtonClose", IsA<IButton>},
    {kCommonDialogOKFile, L"RichLabelContent", IsA<IRichLabel>},
    {kCommonDialogOKFile, L"ButtonOK", IsA<IButton>},
    {kCommonDialogOKCancelFile, L"ButtonClose", IsA<IButton>},
    {kCommonDialogOKCancelFile, L"RichLabelContent", IsA<IRichLabel>},
    {kCommonDialogOKCancelFile, L"ButtonOK", IsA<IButton>},
    {kCommonDialogOKCancelFile, L"ButtonCancel", IsA<IButton>},
};

const wchar_t* const kDescriptions[] = {kInstallSceneFile, kCommonDialogOKFile, kCommonDialogOKCancelFile};

// A frame with the description loaded, as the window's code builds it.
struct LoadedDescription
{
    TIntrusivePointer<IFrame> frame = IFrame_Create();

    explicit LoadedDescription(const wchar_t* file)
    {
        frame->Create(nullptr, WS_POPUP, 0);
        frame->LoadUI(file);
        frame->FitToContent();
    }
    ~LoadedDescription() { frame->Destroy(); }

    IUIWindow* Find(const wchar_t* name) { return frame->GetRootWindow()->FindWindow(name); }
};

class ShippedDescriptions : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_files = std::make_unique<UiTests::UnpackedWindowFiles>(); }
    static void TearDownTestSuite() { s_files.reset(); }
    void SetUp() override { ASSERT_TRUE(s_files->unpacked); }

    static std::unique_ptr<UiTests::UnpackedWindowFiles> s_files;
};

std::unique_ptr<UiTests::UnpackedWindowFiles> ShippedDescriptions::s_files;

std::set<std::wstring> FontListNames()
{
    TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    RVGameEngine::Common::IXmlElement* root = document->LoadFromFile(L"Installer/Font/FontList.xml");
    RVGameEngine::Common::IXmlElement* list = root != nullptr ? root->FindChildByElementName(L"FontList") : nullptr;
    std::set<std::wstring> names;
    for (int32_t i = 0; list != nullptr && i < list->GetChildCount(); ++i)
        names.insert(list->GetChild(i)->GetAttribute(L"Name"));
    return names;
}

} // namespace

TEST_F(ShippedDescriptions, BindEveryNameWithItsInterface)
{
    RVTest::MessageBoxRecorder::Clear();
    for (const tagBoundName& row : kBoundNames) {
        LoadedDescription loaded(row.file);
        IUIWindow* window = loaded.Find(row.name);
        ASSERT_NE(window, nullptr) << row.name << " in " << row.file;
        EXPECT_TRUE(row.hasInterface(window)) << row.name << " in " << row.file;
    }
    // A name collision would have raised the engine's warning box.
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
}

TEST_F(ShippedDescriptions, NameEachControlOnceAndOnlyFontsOfTheList)
{
    const std::set<std::wstring> fonts = FontListNames();
    EXPECT_EQ(fonts.count(L"Default_Bold"), 1u);
    for (const wchar_t* file : kDescriptions) {
        std::set<std::wstring> names;
        for (const tagDescribedControl& control : UiTests::DescribedControls(file)) {
            EXPECT_FALSE(control.name.empty()) << control.type << " in " << file;
            EXPECT_TRUE(names.insert(control.name).second) << control.name << " twice in " << file;
            EXPECT_EQ(fonts.count(control.titleFont), 1u) << control.titleFont << " of " << control.name;
        }
    }
}

// The end-to-end tests click where the description says a control is: the
// size it gives must be the size its pictures give the control.
TEST_F(ShippedDescriptions, GiveTheSizeTheLoadedControlsAndFrameHave)
{
    for (const wchar_t* file : kDescriptions) {
        LoadedDescription loaded(file);
        const std::vector<tagDescribedControl> controls = UiTests::DescribedControls(file);
        ASSERT_FALSE(controls.empty());
        EXPECT_EQ(loaded.frame->GetWidth(), controls[0].rect.right) << file;
        EXPECT_EQ(loaded.frame->GetHeight(), controls[0].rect.bottom) << file;
        for (const tagDescribedControl& control : controls) {
            IUIWindow* window = loaded.Find(control.name.c_str());
            ASSERT_NE(window, nullptr) << control.name;
            EXPECT_EQ(window->GetAnchoredX(), control.rect.left) << control.name;
            EXPECT_EQ(window->GetAnchoredY(), control.rect.top) << control.name;
            EXPECT_EQ(window->GetWidth(), control.rect.right - control.rect.left) << control.name;
            EXPECT_EQ(window->GetHeight(), control.rect.bottom - control.rect.top) << control.name;
        }
    }
    LoadedDescription scene(kInstallSceneFile);
    EXPECT_EQ(scene.frame->GetWidth(), 720);
    EXPECT_EQ(scene.frame->GetHeight(), 450);
}

TEST_F(ShippedDescriptions, StartOnTheOneClickPageWithTheAgreementTicked)
{
    LoadedDescription scene(kInstallSceneFile);
    EXPECT_TRUE(scene.Find(L"PanelScene1")->IsVisible());
    for (const wchar_t* hidden : {L"PanelScene2", L"PanelScene3", L"PanelScene4"})
        EXPECT_FALSE(scene.Find(hidden)->IsVisible()) << hidden;
    for (const wchar_t* box : {L"CheckBoxEULA", L"CheckBoxConfig3"}) {
        auto* agreement = dynamic_cast<ICheckBox*>(scene.Find(box));
        ASSERT_NE(agreement, nullptr);
        EXPECT_TRUE(agreement->IsChecked()) << box;
        EXPECT_TRUE(agreement->GetAutoCheck()) << box;
    }
    // The bar shows a share of its own picture, so it needs one of its full width.
    auto* bar = dynamic_cast<IProcessBar*>(scene.Find(L"ProcessBarUpdate"));
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar->GetBackgroundImage(), nullptr);
    EXPECT_EQ(bar->GetBackgroundImage()->GetImageWidth(), bar->GetWidth());
}

