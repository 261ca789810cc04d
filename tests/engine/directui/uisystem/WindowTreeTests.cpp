#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/uisystem/UIEventArgs.h"
#include "engine/directui/controls/ILabel.h"
#include "engine/directui/uisystem/IPanel.h"
#include "engine/directui/uisystem/ControlMakers.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"

using namespace UITest;

namespace {

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; *text != L'\0'; ++text)
        out += static_cast<char>(*text);
    return out;
}

// Each window below the window, depth first, as "Type:Name".
void Outline(IUIWindow* window, Lines& out)
{
    for (int32_t i = 0; i < window->GetChildCount(); ++i) {
        IUIWindow* child = window->GetChild(i);
        out.push_back(Narrow(child->GetTypeName()) + ":" + Narrow(child->GetFullName()));
        Outline(child, out);
    }
}
} // namespace

TEST(ControlFactory, KnowsControlsByTheirExactElementName)
{
    RecordedUI ui;
    TIntrusivePointer<IUIWindow> label(ui.ui->CreateControl(L"Label"));
    ASSERT_FALSE(label.IsNull());
    EXPECT_EQ(label->GetUISystem(), ui.ui.Get());
    EXPECT_NE(dynamic_cast<ILabel*>(label.Get()), nullptr);
    EXPECT_NE(dynamic_cast<IPanel*>(TIntrusivePointer<IUIWindow>(ui.ui->CreateControl(L"Panel")).Get()), nullptr);
    for (const wchar_t* name : {L"label", L"button", L"Image", L"", L"Root"})
        EXPECT_EQ(ui.ui->CreateControl(name), nullptr) << Narrow(name);
    // Every maker the controls register finds its name; an unknown one is refused aloud.
    RVTest::LogCapture log;
    RVGameEngine::DirectUI::RegisterControls();
    EXPECT_EQ(log.CountContaining(L"No control type is named"), 0);
    EXPECT_FALSE(RVGameEngine::DirectUI::RegisterControlMaker(L"Labels", []() -> RVGameEngine::DirectUI::CUIWindow* { return nullptr; }));
    EXPECT_EQ(log.CountContaining(L"No control type is named Labels"), 1);
}

// Without the makers' registration a description builds nothing below the
// root: each type that lacks its maker says so once, naming the call that
// registers it, however often it is asked for.
TEST(ControlFactory, AKnownTypeWithoutItsMakerIsReportedOnceWithItsRegistration)
{
    using RVGameEngine::DirectUI::RegisterControlMaker;
    struct Row
    {
        const wchar_t* type;
        const wchar_t* registration;
    };
    const Row rows[] = {{L"Label", L"RegisterControls()"}, {L"WebControl", L"RegisterWebControl()"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.type));
        RegisterControlMaker(row.type, nullptr);
        RecordedUI ui;
        RVTest::LogCapture log;
        const std::wstring element = std::wstring(L"<") + row.type + L" Name=\"lost\"/>";
        ui.Load((L"<Panel Name=\"Scene\">" + element + element + L"</Panel>").c_str());
        EXPECT_EQ(ui.ui->CreateControl(row.type), nullptr);
        ASSERT_NE(ui.Root()->FindWindow(L"Scene"), nullptr);
        EXPECT_EQ(ui.Root()->FindWindow(L"Scene")->GetChildCount(), 0);
        EXPECT_EQ(log.CountContaining(std::wstring(L"Control type ") + row.type + L" has no maker"), 1);
        EXPECT_EQ(log.CountContaining(row.registration), 1);
        // Unknown names stay as quiet as before.
        EXPECT_EQ(ui.ui->CreateControl(L"Labels"), nullptr);
        EXPECT_EQ(log.Messages().size(), 1u);
    }
    RVGameEngine::DirectUI::RegisterControls();
    RecordedUI ui;
    TIntrusivePointer<IUIWindow> label(ui.ui->CreateControl(L"Label"));
    EXPECT_FALSE(label.IsNull());
}

TEST(XmlLoading, BuildsChildrenInsideTheirParentsAndSkipsOtherElements)
{
    RecordedUI ui;
    ui.Load(L"<Panel Name=\"Scene\" X=\"10\" Y=\"20\" Width=\"300\" Height=\"200\">\r\n"
            L"  <Image Tag=\"Background\" Filename=\"bg.png\"/>\r\n"
            L"  <Label Name=\"Caption\" Title=\"Hello\" Visible=\"True\"/>\r\n"
            L"  <button Name=\"Lower\"/>\r\n"
            L"  <Panel Name=\"Inner\" Width=\"100\" AnchorMode=\"BottomRight\" TitleAlign=\"Sideways\">\r\n"
            L"    <Label Name=\"Deep\" Enable=\"false\" Penetrable=\"true\" FrameDrag=\"true\"/>\r\n"
            L"  </Panel>\r\n"
            L"</Panel>\r\n"
            L"<Label Name=\"Status\" Y=\"0\" Height=\"0\" TitleAlign=\"BottomCenter\" CommitsString=\"true\"/>\r\n");
    Lines outline;
    Outline(ui.Root(), outline);
    EXPECT_EQ(outline, (Lines{"Panel:Root.Scene", "Label:Root.Scene.Caption", "Panel:Root.Scene.Inner",
                              "Label:Root.Scene.Inner.Deep", "Label:Root.Status"}));
    IUIWindow* scene = ui.Root()->FindWindow(L"Scene");
    ASSERT_NE(scene, nullptr);
    EXPECT_NE(scene->GetBackgroundImage(), nullptr);
    EXPECT_EQ(scene->GetWidth(), 300);
    IUIWindow* caption = ui.Root()->FindWindow(L"Caption");
    EXPECT_FALSE(caption->IsVisible());
    EXPECT_STREQ(caption->GetTitle(), L"Hello");
    IUIWindow* inner = scene->FindChild(L"Inner");
    EXPECT_EQ(inner->GetAnchorMode(), 8);
    EXPECT_EQ(inner->GetTitleAlign(), 4);
    // Width alone sets the whole rectangle.
    EXPECT_EQ(std::vector<int>({inner->GetX(), inner->GetY(), inner->GetWidth(), inner->GetHeight()}),
              std::vector<int>({0, 0, 100, 0}));
    IUIWindow* deep = ui.Root()->FindWindow(L"Deep");
    EXPECT_FALSE(deep->IsEnabled());
    EXPECT_TRUE(deep->IsPenetrable());
    EXPECT_TRUE(deep->GetFrameDrag());
    EXPECT_FALSE(caption->IsPenetrable());
    IUIWindow* status = ui.Root()->FindWindow(L"Status");
    EXPECT_EQ(status->GetTitleAlign(), 7);
    EXPECT_TRUE(status->GetCommitsString());
    EXPECT_STREQ(status->GetTitleFont(), L"Default");
}

TEST(XmlLoading, ReadsColoursNumbersTagsAndPictures)
{
    RVTest::TempFolder folder;
    ASSERT_TRUE(WriteBmp(folder.Child(L"smart.bmp"), 24, 16, [](int, int) { return 0xFF000000u; }));
    RVTest::ScopedCurrentFolder current(folder.Path());
    RecordedUI ui;
    ui.Load(L"<Label Name=\"A\" TitleColor=\"10,20,30\" BackgroundImageColor=\"128,10,20,30\" Tag=\"12ab\" "
            L"Tag2=\"ab\" Tag4=\"-5\" Width=\"100\" Height=\"100\" ExtraReactWidth=\"7\" MaxBytesShow=\"6\" "
            L"Title=\"abcdefgh\">\r\n"
            L"  <Picture Tag=\"Smart\" Filename=\"smart.bmp\" X=\"1\" Y=\"2\" Width=\"3\" Height=\"4\"/>\r\n"
            L"</Label>\r\n"
            L"<Label Name=\"B\" TitleColor=\"10,20\"/>\r\n"
            L"<Label Name=\"C\" TitleColor=\"300,-4,20\"/>\r\n");
    IUIWindow* a = ui.Root()->FindWindow(L"A");
    EXPECT_EQ(a->GetTitleColor(), tagColor(10, 20, 30, 255));
    EXPECT_EQ(a->GetBackgroundImageColor(), tagColor(10, 20, 30, 128));
    EXPECT_EQ(ui.Root()->FindWindow(L"B")->GetTitleColor(), tagColor(0, 0, 0, 255));
    EXPECT_EQ(ui.Root()->FindWindow(L"C")->GetTitleColor(), tagColor(255, 0, 20, 255));
    EXPECT_EQ(a->GetTagInt(), 12);
    EXPECT_EQ(a->GetTag2Int(), 0);
    EXPECT_EQ(a->GetTag4Int(), -5);
    EXPECT_EQ(a->GetExtraReactWidth(), 7);
    // A "Smart" picture sizes the window to the whole picture, not its part.
    EXPECT_EQ(a->GetWidth(), 24);
    EXPECT_EQ(a->GetHeight(), 16);
    ASSERT_NE(a->GetBackgroundImage(), nullptr);
    EXPECT_EQ(a->GetBackgroundImage()->GetWidth(), 3);
    // The cut title is what is drawn.
    ui.driver->calls.clear();
    ui.driver->RaisePaint();
    EXPECT_EQ(ui.driver->Starting("text"), Lines{"text abcd.. 0,0,24,16 align 0"});
    EXPECT_STREQ(a->GetTitle(), L"abcdefgh");
}

TEST(XmlLoading, ANameUsedTwiceWarnsOnceAndTheNewerWindowIsFound)
{
    RecordedUI ui;
    RVTest::MessageBoxRecorder::Clear();
    ui.Load(L"<Label Name=\"Twin\" Title=\"first\"/>\r\n<Panel><Label Name=\"Twin\" Title=\"second\"/></Panel>\r\n");
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Window name collision: Twin");
    EXPECT_EQ(boxes[0].caption, L"Warning");
    EXPECT_STREQ(ui.Root()->FindWindow(L"Twin")->GetTitle(), L"second");
    // Removing the older one keeps the newer one registered.
    ui.Root()->RemoveWindow(ui.Root()->GetChild(0));
    ASSERT_NE(ui.Root()->FindWindow(L"Twin"), nullptr);
    EXPECT_STREQ(ui.Root()->FindWindow(L"Twin")->GetTitle(), L"second");
}

TEST(XmlLoading, LoadUIReadsAFileThroughTheDocument)
{
    RVTest::TempFolder folder;
    WriteUtf16(folder.Child(L"ui.xml"), L"<Panel Name=\"FromFile\" X=\"5\"/>\r\n");
    RVTest::ScopedCurrentFolder current(folder.Path());
    RecordedUI ui;
    ui.ui->LoadUI(L"ui.xml");
    ui.ui->LoadUI(L"missing.xml");
    ASSERT_EQ(ui.Root()->GetChildCount(), 1);
    EXPECT_EQ(ui.Root()->FindWindow(L"FromFile")->GetX(), 5);
}

TEST(WindowOperations, RedrawOnlyOnAChange)
{
    RecordedUI ui;
    IUIWindow* w = ui.Add(ui.Root(), L"w", 1, 2, 3, 4);
    ui.driver->calls.clear();
    w->SetTitle(L"x");
    w->SetTitle(L"x");
    w->Enable();
    w->Hide();
    w->Hide();
    w->Show();
    EXPECT_EQ(ui.driver->calls, Lines(4, "invalidate 1,2,3,4"));
    // Redraws of a window in a hidden branch go nowhere; a hidden window still
    // asks for its area when it disappears.
    IUIWindow* child = ui.Add(w, L"child", 0, 0, 1, 1);
    w->Hide();
    ui.driver->calls.clear();
    child->Invalidate();
    child->Hide();
    EXPECT_EQ(ui.driver->calls, Lines{"invalidate 1,2,1,1"});
}

TEST(WindowOperations, NamesAreFoundThroughTheRegistryAnywhereInTheTree)
{
    RecordedUI ui;
    IUIWindow* left = ui.Add(ui.Root(), L"left", 0, 0, 10, 10);
    IUIWindow* leaf = ui.Add(left, L"leaf", 5, 5, 2, 2);
    IUIWindow* right = ui.Add(ui.Root(), L"right", 0, 0, 10, 10);
    IUIWindow* unnamed = ui.Add(right, L"", 0, 0, 10, 10);
    unnamed->SetTag(L"t");
    EXPECT_EQ(leaf->FindWindow(L"right"), right);
    EXPECT_EQ(ui.Root()->FindWindow(L""), unnamed);
    EXPECT_EQ(ui.Root()->FindWindowByTag(L"t"), unnamed);
    EXPECT_EQ(ui.Root()->FindChildByTag(L"t"), nullptr);
    // A rename after adding keeps the old registration.
    right->SetName(L"renamed");
    EXPECT_EQ(ui.Root()->FindWindow(L"renamed"), nullptr);
    EXPECT_EQ(ui.Root()->FindWindow(L"right"), right);
    EXPECT_STREQ(leaf->GetFullName(), L"Root.left.leaf");
    // Hover windows by name start hidden and follow the mouse.
    left->SetHoverWindowByName(L"right");
    EXPECT_FALSE(right->IsVisible());
    ui.driver->RaiseMouseMove(1, 1);
    EXPECT_TRUE(right->IsVisible());
    ui.driver->RaiseMouseMove(300, 200);
    EXPECT_FALSE(right->IsVisible());
    left->SetHoverWindowByName(L"nowhere");
}

TEST(WindowRemoval, ClearsEveryHoldOnTheSubtree)
{
    EventLog log;
    RecordedUI ui;
    IUIWindow* group = ui.Add(ui.Root(), L"group", 0, 0, 100, 100);
    TIntrusivePointer<IUIWindow> focused(new FocusableWindow());
    focused->SetName(L"focused");
    group->AddChild(focused.Get());
    focused->SetRect(0, 0, 50, 50);
    TIntrusivePointer<IUIWindow> keep(group);
    log.Watch(group, {WINDOW_EVENT_LBUTTON_DOWN});
    ui.ui->SetFocus(focused.Get());
    ui.driver->RaiseMouseMove(10, 10);
    focused->CaptureMouse();
    ASSERT_EQ(ui.System()->GetHoverWindow(), focused.Get());
    ui.driver->calls.clear();

    EXPECT_TRUE(ui.Root()->RemoveWindow(group));
    EXPECT_FALSE(ui.Root()->RemoveWindow(group));
    EXPECT_EQ(ui.ui->GetFocusWindow(), nullptr);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), nullptr);
    EXPECT_EQ(ui.driver->calls, Lines{"release"});
    EXPECT_EQ(ui.System()->GetHoverWindow(), nullptr);
    EXPECT_EQ(ui.Root()->FindWindow(L"focused"), nullptr);
    EXPECT_EQ(ui.Root()->FindWindow(L"group"), nullptr);
    EXPECT_EQ(group->GetParent(), nullptr);
    EXPECT_EQ(group->GetUISystem(), nullptr);
    EXPECT_EQ(focused->GetUISystem(), nullptr);
    EXPECT_FALSE(group->HasSubscriber(WINDOW_EVENT_LBUTTON_DOWN));
    // Taken up again, the subtree belongs to the system once more.
    ui.Root()->AddChild(group);
    EXPECT_EQ(focused->GetUISystem(), ui.ui.Get());
    EXPECT_EQ(ui.Root()->FindWindow(L"group"), group);
    // A window that outlives its whole UI system is left with no pointer into it.
    TIntrusivePointer<RecordingDriver> driver(new RecordingDriver());
    TIntrusivePointer<IUISystem> system(IUISystem_Create(driver.Get()));
    TIntrusivePointer<IUIWindow> survivor(new CUIWindow());
    system->GetRootWindow()->AddChild(survivor.Get());
    system.Reset();
    EXPECT_EQ(survivor->GetUISystem(), nullptr);
    EXPECT_EQ(survivor->GetParent(), nullptr);
}

TEST(WindowRemoval, BringingToFrontMovesInPlaceAndAWindowWithoutSystemTakesChildren)
{
    EventLog log;
    RecordedUI ui;
    IUIWindow* a = ui.Add(ui.Root(), L"a", 0, 0, 10, 10);
    IUIWindow* a1 = ui.Add(a, L"a1", 0, 0, 10, 10);
    IUIWindow* b = ui.Add(ui.Root(), L"b", 0, 0, 10, 10);
    log.Watch(a, {WINDOW_EVENT_LBUTTON_DOWN});
    ui.Root()->BringChildToFront(b);
    EXPECT_EQ(ui.Root()->GetChild(1), b);
    a->BringToFront();
    EXPECT_EQ(ui.Root()->GetChild(0), b);
    EXPECT_EQ(ui.Root()->GetChild(1), a);
    EXPECT_EQ(ui.Root()->FindWindow(L"a1"), a1);
    ui.driver->RaiseLButtonDown(5, 5);
    EXPECT_EQ(log.lines, Lines{"a down"});

    TIntrusivePointer<IUIWindow> loose(new CUIWindow()), looseChild(new CUIWindow());
    looseChild->SetName(L"looseChild");
    loose->AddChild(looseChild.Get());
    EXPECT_EQ(loose->GetChildCount(), 1);
    EXPECT_EQ(loose->FindWindow(L"looseChild"), looseChild.Get());
    // A window is never taken below itself.
    looseChild->AddChild(loose.Get());
    loose->AddChild(loose.Get());
    EXPECT_EQ(looseChild->GetChildCount(), 0);
    EXPECT_EQ(loose->GetChildCount(), 1);
}

// Handlers that change the tree while it is being walked.
struct TreeEditor
{
    IUIWindow* root = nullptr;
    TIntrusivePointer<IUIWindow> extra{new CUIWindow()};
    int calls = 0;
    void RemoveSelf(void* sender, tagEventArgs*)
    {
        ++calls;
        root->RemoveWindow(static_cast<IUIWindow*>(sender));
    }
    void AddAndReorder(void*, tagEventArgs*)
    {
        ++calls;
        root->AddChild(extra.Get());
        root->BringChildToFront(root->GetChild(0));
    }
    void ClearAll(void*, tagEventArgs*)
    {
        ++calls;
        root->RemoveAllChildren();
    }
};

TEST(WindowRemoval, RoutingPaintingAndTicksSurviveHandlersThatEditTheTree)
{
    RecordedUI ui;
    TreeEditor editor;
    editor.root = ui.Root();
    for (int round = 0; round < 3; ++round) {
        IUIWindow* first = ui.Add(ui.Root(), L"first", 0, 0, 50, 50);
        IUIWindow* second = ui.Add(ui.Root(), L"second", 0, 0, 50, 50);
        ui.Add(second, L"grandchild", 0, 0, 50, 50);
        first->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_DOWN, &editor, &TreeEditor::RemoveSelf);
        second->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_DOWN, &editor, &TreeEditor::AddAndReorder);
        second->AddMemberFunctionDelegate(WINDOW_EVENT_MOUSE_MOVE, &editor, &TreeEditor::ClearAll);
        first->AddMemberFunctionDelegate(WINDOW_EVENT_PAINT, &editor, &TreeEditor::RemoveSelf);
        second->AddMemberFunctionDelegate(WINDOW_EVENT_MOUSE_ENTER, &editor, &TreeEditor::RemoveSelf);
        switch (round) {
        case 0: ui.driver->RaiseLButtonDown(10, 10); break;
        case 1: ui.driver->RaisePaint(); break;
        default: ui.driver->RaiseMouseMove(10, 10); break;
        }
        ui.driver->RaiseFrameMove(16);
        ui.ui->ResetWindowTree();
        EXPECT_EQ(ui.Root()->GetChildCount(), 0);
    }
    EXPECT_GT(editor.calls, 3);
}

// Holds the only reference to a UI system and lets go of it from a handler,
// as a close button that ends its frame does.
struct LastOwner
{
    TIntrusivePointer<IUISystem> system;
    void Drop(void*, tagEventArgs*) { system.Reset(); }
};

TEST(WindowRemoval, AHandlerMayDropTheLastReferenceToItsUISystem)
{
    TIntrusivePointer<RecordingDriver> driver(new RecordingDriver());
    LastOwner owner{TIntrusivePointer<IUISystem>(IUISystem_Create(driver.Get()))};
    owner.system->Initialize();
    IUIWindow* root = owner.system->GetRootWindow();
    root->SetRect(0, 0, 100, 100);
    TIntrusivePointer<IUIWindow> button(new CUIWindow());
    root->AddChild(button.Get());
    button->SetRect(0, 0, 50, 50);
    button->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_UP, &owner, &LastOwner::Drop);
    driver->RaiseLButtonUp(10, 10);
    EXPECT_TRUE(owner.system.IsNull());
    // The release that follows every left-button-up still reached the driver.
    EXPECT_EQ(driver->calls.back(), "release");
    // The system is gone and with it its handlers: later input goes nowhere.
    driver->RaiseLButtonUp(10, 10);
    EXPECT_EQ(driver->Count("release"), 1);
}
