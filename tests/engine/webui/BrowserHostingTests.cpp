// The hosting code driven through a browser object of our own (StandInBrowser):
// what it asks of the object, what it gives back, and when.
#include "engine/webui/CWebBrowser.h"
#include "tests/engine/webui/StandInBrowser.h"
#include "tests/engine/webui/WebTestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::WebUI;
using RVGameEngine::Common::TIntrusivePointer;
using RVTest::StandInBrowser;
using RVTest::StandInOptions;
using Calls = std::vector<std::wstring>;
using BrowserPointer = TIntrusivePointer<WebUI::IWebBrowser>;

namespace {

const Calls kTeardown = {L"Unadvise", L"Stop", L"Close 1"};

class BrowserHosting : public testing::Test
{
protected:
    BrowserPointer Made() { return BrowserPointer(IWebBrowser_Create(host.frame->GetHandle())); }

    // Made with the stand-in's current options and created; its calls so far taken.
    BrowserPointer Created()
    {
        BrowserPointer browser = Made();
        EXPECT_TRUE(browser->Create());
        standIn.TakeCalls();
        return browser;
    }

    static IDispatch* SinkOf(WebUI::IWebBrowser* browser)
    {
        return static_cast<IDispatch*>(static_cast<CWebBrowser*>(browser));
    }

    RVTest::WebTestHost host;
    StandInBrowser standIn;
};

struct EventCounter
{
    int completions = 0;
    void OnComplete(void*, Common::tagEventArgs*) { ++completions; }
};

// A handler that lets go of the browser while it is being told.
struct LettingGo
{
    BrowserPointer* held = nullptr;
    bool destroyFirst = false;
    void OnEvent(void*, Common::tagEventArgs*)
    {
        if (destroyFirst)
            (*held)->Destroy();
        held->Reset();
    }
};

// The stand-in's answers with one part of the page missing.
template <typename Change>
StandInOptions Missing(Change change)
{
    StandInOptions options;
    change(options);
    return options;
}
const StandInOptions kNoDocument = Missing([](StandInOptions& o) { o.documentAnswer = E_FAIL; });
const StandInOptions kNotADocument = Missing([](StandInOptions& o) { o.documentQueryAnswer = E_NOINTERFACE; });
const StandInOptions kRefusedDocument = Missing([](StandInOptions& o) { o.documentQueryAnswer = E_FAIL; });
const StandInOptions kNoBody = Missing([](StandInOptions& o) { o.body = false; });
const StandInOptions kNoStyle = Missing([](StandInOptions& o) { o.style = false; });

RECT PlacedInParent(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

TEST_F(BrowserHosting, CreateAndDestroyTwiceAndTheDestructorLetGoOfEveryInterfaceExactlyOnce)
{
    BrowserPointer browser = Made();
    auto* concrete = static_cast<CWebBrowser*>(browser.Get());
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(browser->Create());
        EXPECT_FALSE(browser->Create());
        EXPECT_EQ(standIn.MadeCount(), round);
        EXPECT_EQ(standIn.TakeCalls(), (Calls{L"DoVerb -1", L"Advise"}));
        EXPECT_TRUE(standIn.IsAdvised());
        // Activated in place inside the browser's own frame.
        EXPECT_EQ(GetParent(standIn.GetWindow()), browser->GetFrame()->GetHandle());
        browser->Destroy();
        browser->Destroy();
        EXPECT_EQ(standIn.TakeCalls(), kTeardown);
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
        EXPECT_EQ(standIn.LiveCount(), 0);
        EXPECT_EQ(concrete->GetComReferenceCount(), 0u);
        EXPECT_EQ(browser->GetReferenceCount(), 1);
        EXPECT_EQ(browser->Navigate(L"about:blank"), WEBBROWSER_NO_OBJECT);
    }
    // Let go of while connected and outside any notification: the destructor
    // unadvises, and the browser does not outlive its last reference.
    ASSERT_TRUE(browser->Create());
    standIn.TakeCalls();
    const HWND frame = browser->GetFrame()->GetHandle();
    browser.Reset();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(standIn.TakeCalls(), kTeardown);
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}

TEST_F(BrowserHosting, CreateStopsAtAMissingPartAndDestroyLetsGoOfWhatWasTaken)
{
    struct Case
    {
        const char* name;
        StandInOptions options;
        Calls created;
        int navigateAnswer;
        Calls destroyed;
    };
    const Case cases[] = {
        {"no IWebBrowser2", Missing([](StandInOptions& o) { o.webBrowser2 = false; }), {}, WEBBROWSER_NO_BROWSER,
         {L"Close 1"}},
        {"no connection points", Missing([](StandInOptions& o) { o.connectionPoints = false; }), {L"DoVerb -1"},
         WEBBROWSER_OK, {L"Stop", L"Close 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standIn.options = c.options;
        BrowserPointer browser = Made();
        EXPECT_FALSE(browser->Create());
        EXPECT_EQ(standIn.TakeCalls(), c.created);
        EXPECT_EQ(browser->Navigate(L"about:blank"), c.navigateAnswer);
        EXPECT_EQ(browser->LoadHTML(L"<p>x</p>"), c.navigateAnswer);
        standIn.TakeCalls();
        browser->Destroy();
        EXPECT_EQ(standIn.TakeCalls(), c.destroyed);
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
    }
}

TEST_F(BrowserHosting, SetRectMovesTheFrameAndPlacesTheObjectOrAnswersThatItCannot)
{
    struct Case
    {
        bool inPlaceObject;
        int answer;
        Calls calls;
    };
    const Case cases[] = {
        {true, WEBBROWSER_OK, {L"SetObjectRects 0,0,120,60 0,0,120,60"}},
        {false, WEBBROWSER_NO_INPLACE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inPlaceObject);
        standIn.options.inPlaceObject = c.inPlaceObject;
        BrowserPointer browser = Created();
        EXPECT_EQ(browser->SetRect(15, 25, 120, 60), c.answer);
        EXPECT_EQ(standIn.TakeCalls(), c.calls);
        const RECT placed = PlacedInParent(browser->GetFrame()->GetHandle());
        EXPECT_EQ(placed.left, 15);
        EXPECT_EQ(placed.top, 25);
        EXPECT_EQ(placed.right, 135);
        EXPECT_EQ(placed.bottom, 85);
        browser->Destroy();
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
    }
}

TEST_F(BrowserHosting, NavigateAsksForAFreshPageAndLoadHtmlWritesAndStylesWhatTheDocumentOffers)
{
    BrowserPointer navigating = Created();
    EXPECT_EQ(navigating->Navigate(L"http://127.0.0.1/page"), WEBBROWSER_OK);
    EXPECT_EQ(standIn.TakeCalls(), (Calls{L"Navigate2 http://127.0.0.1/page flags 12"}));
    navigating->Destroy();

    const std::wstring blank = L"Navigate2 about:blank";
    const std::wstring written = L"write <p>\x4E2D</p>";
    struct Case
    {
        const char* name;
        StandInOptions options;
        Calls calls;
    };
    const Case cases[] = {
        {"whole", StandInOptions(), {blank, written, L"body scroll=no", L"style border=none"}},
        {"no document", kNoDocument, {blank}},
        {"not a document", kNotADocument, {blank}},
        {"no body", kNoBody, {blank, written}},
        {"no style", kNoStyle, {blank, written, L"body scroll=no"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standIn.options = c.options;
        BrowserPointer browser = Created();
        EXPECT_EQ(browser->LoadHTML(L"<p>\x4E2D</p>"), WEBBROWSER_OK);
        EXPECT_EQ(standIn.TakeCalls(), c.calls);
        browser->Destroy();
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
    }
}

TEST_F(BrowserHosting, ACompletedDocumentIsStyledFocusedOnRequestAndReported)
{
    const Calls styled = {L"body scroll=no", L"style overflow=hidden", L"style border=none",
                          L"style pixelHeight=0", L"style pixelWidth=0"};
    Calls focusedAndStyled = {L"body focus"};
    focusedAndStyled.insert(focusedAndStyled.end(), styled.begin(), styled.end());
    struct Case
    {
        const char* name;
        StandInOptions options;
        bool focusOnLoad;
        HRESULT answer;
        bool reported;
        Calls calls;
    };
    const Case cases[] = {
        {"styled", StandInOptions(), false, S_OK, true, styled},
        {"focused", StandInOptions(), true, S_OK, true, focusedAndStyled},
        {"no document", kNoDocument, true, E_FAIL, false, {}},
        {"document refused", kRefusedDocument, true, E_FAIL, false, {}},
        {"not a document", kNotADocument, true, S_OK, true, {}},
        {"no body", kNoBody, true, S_OK, true, {}},
        {"no style", kNoStyle, false, S_OK, true, {L"body scroll=no"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standIn.options = c.options;
        BrowserPointer browser = Created();
        browser->SetFocusOnLoad(c.focusOnLoad);
        EventCounter events;
        browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_DOCUMENT_COMPLETE, &events, &EventCounter::OnComplete);
        EXPECT_EQ(standIn.FireDocumentComplete(), c.answer);
        EXPECT_EQ(events.completions, c.reported ? 1 : 0);
        EXPECT_EQ(standIn.TakeCalls(), c.calls);
        // Focus later reaches the body of the document held since the completion.
        const bool documentHeld = c.options.documentAnswer == S_OK && c.options.documentQueryAnswer == S_OK;
        browser->Focus();
        EXPECT_EQ(standIn.TakeCalls(), documentHeld && c.options.body ? Calls{L"body focus"} : Calls{});
        browser->Destroy();
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
    }
}

// A handler that drops the last reference (the web control's own close link
// removing the control does) must find the browser there when the browser
// object touches the sink again, and the browser object is let go of only
// once the notification is over, from the message loop.
TEST_F(BrowserHosting, AHandlerLettingGoOfTheBrowserLeavesItsTeardownToTheMessageLoop)
{
    struct Case
    {
        const char* name;
        int eventId;
        bool destroyFirst;
    };
    const Case cases[] = {
        {"navigate, last reference", WEBBROWSER_EVENT_NAVIGATE, false},
        {"navigate, Destroy then last reference", WEBBROWSER_EVENT_NAVIGATE, true},
        {"document complete, last reference", WEBBROWSER_EVENT_DOCUMENT_COMPLETE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BrowserPointer browser = Created();
        const HWND frame = browser->GetFrame()->GetHandle();
        LettingGo handler{&browser, c.destroyFirst};
        browser->AddMemberFunctionDelegate(c.eventId, &handler, &LettingGo::OnEvent);
        bool aliveAfterNotification = false;
        standIn.SetAfterNotification([&] { aliveAfterNotification = IsWindow(frame) != FALSE; });
        if (c.eventId == WEBBROWSER_EVENT_NAVIGATE)
            standIn.FireBeforeNavigate(L"vornuweb:close", nullptr);
        else
            standIn.FireDocumentComplete();
        standIn.SetAfterNotification(nullptr);
        EXPECT_TRUE(aliveAfterNotification);
        EXPECT_FALSE(browser);
        const Calls calls = standIn.TakeCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), L"Close 1"), 0);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), L"Close 1 (notifying)"), 0);
        EXPECT_TRUE(standIn.IsAdvised());

        RVTest::DeliverPostedMessages();
        EXPECT_EQ(standIn.TakeCalls(), kTeardown);
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
        EXPECT_FALSE(IsWindow(frame));
    }
}

TEST_F(BrowserHosting, AHostClosedBeforeTheTeardownTurnStillLetsGoOfTheBrowserObject)
{
    RVTest::WebTestHost closing;
    BrowserPointer browser(IWebBrowser_Create(closing.frame->GetHandle()));
    ASSERT_TRUE(browser->Create());
    standIn.TakeCalls();
    LettingGo handler{&browser, false};
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_NAVIGATE, &handler, &LettingGo::OnEvent);
    standIn.FireBeforeNavigate(L"vornuweb:close", nullptr);
    EXPECT_EQ(standIn.TakeCalls(), Calls{});
    closing.frame->Destroy();
    EXPECT_EQ(standIn.TakeCalls(), kTeardown);
    RVTest::DeliverPostedMessages();
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
    EXPECT_EQ(standIn.LiveCount(), 0);
}

TEST_F(BrowserHosting, DestroyInsideANotificationTakesTheObjectAwayAtOnceAndLetsGoOfItAfterwards)
{
    BrowserPointer browser = Created();
    struct Destroyer
    {
        WebUI::IWebBrowser* browser;
        int answer = 0;
        int told = 0;
        void OnNavigate(void*, Common::tagEventArgs*)
        {
            ++told;
            browser->Destroy();
            answer = browser->Navigate(L"about:blank");
        }
    } destroyer{browser.Get()};
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_NAVIGATE, &destroyer, &Destroyer::OnNavigate);
    standIn.FireBeforeNavigate(L"vornuweb:reload", nullptr);
    EXPECT_EQ(destroyer.answer, WEBBROWSER_NO_OBJECT);
    EXPECT_EQ(standIn.TakeCalls(), Calls{});
    // Until its teardown the object let go of may still notify: a program
    // link stays cancelled, but the browser no longer reports it.
    bool cancelled = false;
    standIn.FireBeforeNavigate(L"vornuweb:close", &cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(destroyer.told, 1);
    EXPECT_TRUE(static_cast<CWebBrowser*>(browser.Get())->IsTeardownPending());
    RVTest::DeliverPostedMessages();
    EXPECT_EQ(standIn.TakeCalls(), kTeardown);
    EXPECT_FALSE(static_cast<CWebBrowser*>(browser.Get())->IsTeardownPending());
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
    // The browser itself carries on and can make a new object.
    EXPECT_TRUE(browser->Create());
    EXPECT_EQ(standIn.MadeCount(), 2);
}

TEST_F(BrowserHosting, ACallerStillHoldingTheSinkKeepsTheBrowser)
{
    for (const bool created : {false, true}) {
        SCOPED_TRACE(created);
        BrowserPointer browser = created ? Created() : Made();
        const HWND frame = browser->GetFrame()->GetHandle();
        IDispatch* sink = SinkOf(browser.Get());
        IUnknown* held = nullptr;
        ASSERT_EQ(sink->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&held)), S_OK);
        browser.Reset();
        EXPECT_TRUE(IsWindow(frame));
        held->Release();
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
    }
}

// A page's close link can make its handler drop the browser and close the
// very window that hosts it, taking the browser's own window along: the
// browser object is still let go of only after the notification, from the
// message loop.
TEST_F(BrowserHosting, AHandlerClosingTheHostWindowStillLeavesTheTeardownToTheMessageLoop)
{
    struct Closer
    {
        BrowserPointer* held = nullptr;
        DirectUI::IFrame* host = nullptr;
        void OnEvent(void*, Common::tagEventArgs*)
        {
            held->Reset();
            host->Destroy();
        }
    };
    for (const int eventId : {WEBBROWSER_EVENT_NAVIGATE, WEBBROWSER_EVENT_DOCUMENT_COMPLETE}) {
        SCOPED_TRACE(eventId);
        RVTest::WebTestHost closing;
        BrowserPointer browser(IWebBrowser_Create(closing.frame->GetHandle()));
        ASSERT_TRUE(browser->Create());
        standIn.TakeCalls();
        const HWND frame = browser->GetFrame()->GetHandle();
        Closer handler{&browser, closing.frame.Get()};
        browser->AddMemberFunctionDelegate(eventId, &handler, &Closer::OnEvent);
        if (eventId == WEBBROWSER_EVENT_NAVIGATE)
            standIn.FireBeforeNavigate(L"vornuweb:close", nullptr);
        else
            standIn.FireDocumentComplete();
        EXPECT_FALSE(browser);
        EXPECT_FALSE(IsWindow(frame));
        // No part of the teardown runs inside the notification.
        for (const std::wstring& call : standIn.TakeCalls()) {
            for (const wchar_t* teardown : {L"Unadvise", L"Stop", L"Close"})
                EXPECT_NE(call.rfind(teardown, 0), 0u) << call;
        }
        EXPECT_TRUE(standIn.IsAdvised());

        RVTest::DeliverPostedMessages();
        EXPECT_EQ(standIn.TakeCalls(), kTeardown);
        EXPECT_EQ(standIn.Unbalanced(), Calls{});
        EXPECT_EQ(standIn.LiveCount(), 0);
    }
}

// A handler that reloads (Destroy, then Create) leaves the replaced object
// advised until its teardown. Whatever it still says is not the new page's:
// its program links stay cancelled but unreported, and its completion
// neither reaches the new page's document nor counts as the new page loaded.
TEST_F(BrowserHosting, NotificationsOfAnObjectLetGoOfAreNeverReported)
{
    BrowserPointer browser = Created();
    struct Reloader
    {
        WebUI::IWebBrowser* browser = nullptr;
        std::vector<std::wstring> navigations;
        int completions = 0;
        void OnNavigate(void*, Common::tagEventArgs* args)
        {
            navigations.push_back(static_cast<tagWebBrowserNavigateEventArgs*>(args)->URL);
            if (navigations.size() == 1) {
                browser->Destroy();
                browser->Create();
            }
        }
        void OnComplete(void*, Common::tagEventArgs*) { ++completions; }
    } reloader;
    reloader.browser = browser.Get();
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_NAVIGATE, &reloader, &Reloader::OnNavigate);
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_DOCUMENT_COMPLETE, &reloader, &Reloader::OnComplete);
    standIn.FireBeforeNavigate(L"vornuweb:reload", nullptr);
    ASSERT_EQ(standIn.MadeCount(), 2);
    standIn.TakeCalls();

    struct Case
    {
        int object;
        const wchar_t* link;
        size_t navigations;
        int completions;
    };
    const Case cases[] = {
        {1, L"vornuweb:stale", 1, 0}, // the replaced page
        {2, L"vornuweb:close", 2, 1}, // the new one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object);
        bool cancelled = false;
        EXPECT_EQ(standIn.FireBeforeNavigate(c.link, &cancelled, c.object), S_OK);
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(standIn.FireDocumentComplete(c.object), S_OK);
        EXPECT_EQ(reloader.navigations.size(), c.navigations);
        EXPECT_EQ(reloader.navigations.back(), c.navigations == 1 ? L"vornuweb:reload" : c.link);
        EXPECT_EQ(reloader.completions, c.completions);
        // Only the new page's completion styles a document.
        EXPECT_EQ(standIn.TakeCalls().empty(), c.completions == 0);
    }
    RVTest::DeliverPostedMessages();
    EXPECT_EQ(standIn.TakeCalls(), kTeardown);
    browser->Destroy();
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}

// The browser object may keep the storage it was made with, its site and the
// site's UI handler past its own close and past the browser: each lives as
// long as it is held, answers without its browser, and goes with its last
// reference.
TEST_F(BrowserHosting, HelpersKeptByTheBrowserObjectOutliveTheBrowser)
{
    standIn.options.keepHelpers = true;
    {
        BrowserPointer browser = Made();
        ASSERT_TRUE(browser->Create());
        browser->Destroy();
    }
    // A kept helper counts its keeper's reference beside the browser's own.
    for (const unsigned long count : standIn.KeptHelperCounts())
        ASSERT_GT(count, 1u);
    EXPECT_EQ(standIn.UseAndReleaseKeptHelpers(),
              (Calls{L"storage SetClass 0x0", L"storage released 0", L"handler ShowContextMenu 0x0",
                     L"handler released 0", L"site GetWindow 0x80004005", L"site released 0"}));
    EXPECT_EQ(standIn.Unbalanced(), Calls{});
}
