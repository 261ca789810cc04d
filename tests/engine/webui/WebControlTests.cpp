// The web control over a browser object of our own (StandInBrowser): when its
// page is on screen, where, and what happens when a page's link removes it.
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/webui/CWebControl.h"
#include "tests/engine/webui/StandInBrowser.h"
#include "tests/engine/webui/WebTestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;
using RVTest::StandInBrowser;
using Calls = std::vector<std::wstring>;

namespace {

class WebControlOnStandIn : public testing::Test
{
protected:
    WebControlOnStandIn() { RegisterWebControl(); }
    // The controls, and the browsers they hold, go while the stand-in is there.
    ~WebControlOnStandIn() override
    {
        Root()->RemoveAllChildren();
        RVTest::DeliverPostedMessages();
    }

    IUIWindow* Root() { return host.frame->GetUISystem()->GetRootWindow(); }

    // root > Panel "outer" (10, 20) > Panel "inner" (5, 5) > WebControl "web" (5, 6, 200 x 100);
    // the outer one can be of another type.
    CWebControl* Load(const wchar_t* webAttributes, const wchar_t* outerType = L"Panel")
    {
        Root()->SetRect(0, 0, 400, 300);
        TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
        const std::wstring outer = outerType;
        const std::wstring xml = L"<Panel><" + outer +
                                 L" Name=\"outer\" X=\"10\" Y=\"20\" Width=\"300\" Height=\"200\"><Panel "
                                 L"Name=\"inner\" X=\"5\" Y=\"5\" Width=\"250\" Height=\"150\"><WebControl "
                                 L"Name=\"web\" X=\"5\" Y=\"6\" Width=\"200\" Height=\"100\" " +
                                 webAttributes + L"/></Panel></" + outer + L"></Panel>";
        Root()->LoadAttributes(document->Parse(xml.c_str()));
        return dynamic_cast<CWebControl*>(Root()->FindWindow(L"web"));
    }

    static bool OnScreen(CWebControl* control)
    {
        return control->GetFrame() && IsWindowVisible(control->GetFrame()->GetHandle()) != FALSE;
    }

    RVTest::WebTestHost host;
    StandInBrowser standIn;
};

} // namespace

TEST_F(WebControlOnStandIn, StreamingOrACompletedPageDecidesWhenThePageIsOnScreen)
{
    struct Case
    {
        const wchar_t* attributes;
        bool hiddenAtCompletion;
        bool shownWhileLoading;
    };
    const Case cases[] = {
        {L"URL=\"http://127.0.0.1/a\"", false, false},
        {L"URL=\"http://127.0.0.1/a\"", true, false},
        {L"URL=\"http://127.0.0.1/a\" Streaming=\"true\"", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hiddenAtCompletion << c.shownWhileLoading);
        CWebControl* control = Load(c.attributes);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(standIn.TakeCalls(), (Calls{L"DoVerb -1", L"Advise", L"SetObjectRects 0,0,200,100 0,0,200,100", L"Navigate2 about:blank flags 12",
                                              L"Navigate2 http://127.0.0.1/a flags 12"}));
        EXPECT_EQ(OnScreen(control), c.shownWhileLoading);
        if (c.hiddenAtCompletion)
            control->Hide();
        control->SetFocusOnLoad(true);
        standIn.FireDocumentComplete();
        EXPECT_EQ(OnScreen(control), !c.hiddenAtCompletion);
        const Calls completed = standIn.TakeCalls();
        ASSERT_FALSE(completed.empty());
        EXPECT_EQ(completed.front(), L"body focus");
        control->Focus();
        EXPECT_EQ(standIn.TakeCalls(), Calls{L"body focus"});
        control->Hide();
        EXPECT_FALSE(OnScreen(control));
        control->Show();
        EXPECT_TRUE(OnScreen(control));
        // A new navigation waits for its own completion unless streaming.
        control->Navigate(L"http://127.0.0.1/b");
        EXPECT_EQ(OnScreen(control), c.shownWhileLoading);
        Root()->RemoveAllChildren();
        RVTest::DeliverPostedMessages();
        standIn.TakeCalls();
    }
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}

TEST_F(WebControlOnStandIn, SetRectPlacesTheBrowserOverTheControlsAnchoredRectangle)
{
    CWebControl* control = Load(L"Streaming=\"true\"");
    ASSERT_NE(control, nullptr);
    standIn.TakeCalls();
    control->SetRect(7, 8, 120, 60);
    EXPECT_EQ(standIn.TakeCalls(), (Calls{L"SetObjectRects 0,0,120,60 0,0,120,60"}));
    RECT placed = {};
    const HWND frame = control->GetFrame()->GetHandle();
    GetWindowRect(frame, &placed);
    MapWindowPoints(nullptr, GetParent(frame), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 10 + 5 + 7);
    EXPECT_EQ(placed.top, 20 + 5 + 8);
    EXPECT_EQ(placed.right - placed.left, 120);
    EXPECT_EQ(placed.bottom - placed.top, 60);
}

TEST_F(WebControlOnStandIn, ThePageLeavesTheScreenWhileAnAncestorIsHiddenOrTheControlIsOutOfTheTree)
{
    struct Case
    {
        const char* name;
        std::function<void(IUIWindow* root)> change;
        bool onScreen;
        const wchar_t* outerType = L"Panel";
    };
    const auto hideOuter = [](IUIWindow* root) { root->FindWindow(L"outer")->Hide(); };
    const Case cases[] = {
        {"parent hidden", [](IUIWindow* root) { root->FindWindow(L"inner")->Hide(); }, false},
        {"grandparent hidden", hideOuter, false},
        {"dialog around it hidden", hideOuter, false, L"Dialog"},
        {"grandparent hidden and shown again",
         [](IUIWindow* root) {
             root->FindWindow(L"outer")->Hide();
             root->FindWindow(L"outer")->Show();
         },
         true},
        {"shown again below a hidden ancestor",
         [](IUIWindow* root) {
             root->FindWindow(L"outer")->Hide();
             root->FindWindow(L"inner")->Hide();
             root->FindWindow(L"inner")->Show();
         },
         false},
        {"control removed",
         [](IUIWindow* root) { root->FindWindow(L"inner")->RemoveWindow(root->FindWindow(L"web")); }, false},
        {"ancestor removed", [](IUIWindow* root) { root->RemoveWindow(root->FindWindow(L"outer")); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TIntrusivePointer<IUIWindow> control(Load(L"Streaming=\"true\"", c.outerType));
        auto* web = dynamic_cast<CWebControl*>(control.Get());
        ASSERT_NE(web, nullptr);
        ASSERT_TRUE(OnScreen(web));
        c.change(Root());
        EXPECT_EQ(OnScreen(web), c.onScreen);
        // Out of its tree, showing the control itself does not bring the page back.
        if (web->GetUISystem() == nullptr) {
            web->Hide();
            web->Show();
            EXPECT_FALSE(OnScreen(web));
        }
        control.Reset();
        Root()->RemoveAllChildren();
        RVTest::DeliverPostedMessages();
    }
    EXPECT_EQ(standIn.LiveCount(), 0);
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}

// The page's own close link: its handler removes the control, the last
// reference to it, while the browser object is delivering the link.
TEST_F(WebControlOnStandIn, AClosingLinkThatRemovesTheControlLeavesTheBrowserToTheMessageLoop)
{
    CWebControl* control = Load(L"Streaming=\"true\" URL=\"http://127.0.0.1/a\"");
    ASSERT_NE(control, nullptr);
    const HWND frame = control->GetFrame()->GetHandle();
    struct Closer
    {
        IUIWindow* root;
        void OnNavigate(void* sender, Common::tagEventArgs*)
        {
            IUIWindow* web = dynamic_cast<IUIWindow*>(static_cast<IWebControl*>(sender));
            root->FindWindow(L"inner")->RemoveWindow(web);
        }
    } closer{Root()};
    control->AddMemberFunctionDelegate(WEBCONTROL_EVENT_NAVIGATE, &closer, &Closer::OnNavigate);
    standIn.TakeCalls();
    bool cancelled = false;
    standIn.FireBeforeNavigate(L"vornuweb:close", &cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Root()->FindWindow(L"web"), nullptr);
    // Off the screen at once; let go of once the link has been delivered.
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(standIn.TakeCalls(), Calls{});
    RVTest::DeliverPostedMessages();
    EXPECT_EQ(standIn.TakeCalls(), (Calls{L"Unadvise", L"Stop", L"Close 1"}));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}
