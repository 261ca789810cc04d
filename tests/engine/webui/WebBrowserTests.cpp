#include "engine/directui/uisystem/IUISystem.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/webui/CWebBrowser.h"
#include "engine/webui/CWebControl.h"
#include "tests/engine/webui/StandInBrowser.h"
#include "tests/engine/webui/WebTestHost.h"

#include <gtest/gtest.h>
#include <exdispid.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;
using namespace RVGameEngine::WebUI;
using RVGameEngine::Common::TIntrusivePointer;

namespace {

using HostFrame = RVTest::WebTestHost;

struct EventLog
{
    std::vector<std::wstring> lines;
    void OnNavigate(void*, Common::tagEventArgs* args)
    {
        if (auto* navigate = dynamic_cast<tagWebBrowserNavigateEventArgs*>(args))
            lines.push_back(L"navigate " + std::wstring(navigate->URL));
        if (auto* control = dynamic_cast<tagWebControlNavigateEventArgs*>(args))
            lines.push_back(L"control navigate " + std::wstring(control->URL));
    }
    void OnComplete(void*, Common::tagEventArgs*) { lines.push_back(L"complete"); }
};

} // namespace

TEST(WebBrowser, OnlyAddressesThatBeginWithTheProgramPrefixAreCancelledAndReported)
{
    HostFrame host;
    RVTest::StandInBrowser standIn;
    TIntrusivePointer<WebUI::IWebBrowser> browser(IWebBrowser_Create(host.frame->GetHandle()));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(browser->Create());
    EventLog log;
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_NAVIGATE, &log, &EventLog::OnNavigate);
    struct Case
    {
        const wchar_t* url;
        bool cancelled;
    };
    const Case cases[] = {
        {L"vornuweb:close", true},     {L"vornuweb", true},          {L"VORNUWEB:close", false},
        {L"http://x/vornuweb", false}, {L"vornu", false},            {L"", false},
        {L"vornuweb:\x4E2D\x6587", true}, // kept as the browser gave it, not through a code page
    };
    std::vector<std::wstring> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.url, c.url + wcslen(c.url)).size());
        bool cancelled = false;
        EXPECT_EQ(standIn.FireBeforeNavigate(c.url, &cancelled), S_OK);
        EXPECT_EQ(cancelled, c.cancelled);
        if (c.cancelled)
            expected.push_back(L"navigate " + std::wstring(c.url));
    }
    EXPECT_EQ(log.lines, expected);
}

TEST(WebBrowser, OperationsAnswerTheirCodesBeforeAndAfterTheObjectAndReleaseEverythingOnce)
{
    HostFrame host;
    TIntrusivePointer<WebUI::IWebBrowser> browser(IWebBrowser_Create(host.frame->GetHandle()));
    ASSERT_TRUE(browser);
    auto* concrete = static_cast<CWebBrowser*>(browser.Get());
    // Before Create: no object, and the frame stays where it was.
    EXPECT_EQ(browser->SetRect(5, 6, 70, 80), WEBBROWSER_NO_OBJECT);
    EXPECT_EQ(browser->Navigate(L"about:blank"), WEBBROWSER_NO_OBJECT);
    EXPECT_EQ(browser->LoadHTML(L"<p>x</p>"), WEBBROWSER_NO_OBJECT);
    RECT placed = {};
    GetWindowRect(browser->GetFrame()->GetHandle(), &placed);
    EXPECT_EQ(placed.right - placed.left, 0);

    // A completion with no document to take answers E_FAIL and raises nothing.
    EventLog log;
    browser->AddMemberFunctionDelegate(WEBBROWSER_EVENT_DOCUMENT_COMPLETE, &log, &EventLog::OnComplete);
    EXPECT_EQ(concrete->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_FAIL);
    EXPECT_TRUE(log.lines.empty());

    // Whatever the platform's browser object can do here, Create and Destroy
    // twice leave nothing connected and nothing to release again.
    for (int round = 0; round < 2; ++round) {
        const bool created = browser->Create();
        if (created) {
            EXPECT_TRUE(concrete->IsAdvised());
            EXPECT_NE(browser->SetRect(0, 0, 100, 50), WEBBROWSER_NO_OBJECT);
            EXPECT_EQ(browser->Navigate(L"about:blank"), WEBBROWSER_OK);
        }
        browser->Destroy();
        EXPECT_FALSE(concrete->IsAdvised());
        EXPECT_EQ(concrete->GetComReferenceCount(), 0u);
        EXPECT_EQ(browser->Navigate(L"about:blank"), WEBBROWSER_NO_OBJECT);
    }
    EXPECT_EQ(browser->GetReferenceCount(), 1);
}

TEST(WebBrowser, TheSinkAnswersOnlyItsOwnInterfacesAndItsCountNeverDeletes)
{
    HostFrame host;
    TIntrusivePointer<WebUI::IWebBrowser> browser(IWebBrowser_Create(host.frame->GetHandle()));
    auto* sink = static_cast<IDispatch*>(static_cast<CWebBrowser*>(browser.Get()));
    struct Case
    {
        const IID* iid;
        HRESULT answer;
    };
    const Case cases[] = {{&IID_IUnknown, S_OK},          {&IID_IDispatch, S_OK},
                          {&DIID_DWebBrowserEvents2, S_OK}, {&IID_IOleClientSite, E_NOINTERFACE}};
    for (const Case& c : cases) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink->QueryInterface(*c.iid, &object), c.answer);
        EXPECT_EQ(object != nullptr, c.answer == S_OK);
        if (object != nullptr) {
            EXPECT_EQ(sink->Release(), 0u);
        }
    }
    EXPECT_EQ(browser->GetReferenceCount(), 1);
}

TEST(WebControl, TheBrowserWindowFollowsTheControlAndItsPageAndEventsPassThrough)
{
    HostFrame host;
    RegisterWebControl();
    IUISystem* ui = host.frame->GetUISystem();
    ASSERT_NE(ui, nullptr);
    TIntrusivePointer<IUIWindow> made(ui->CreateControl(L"WebControl"));
    auto* bare = dynamic_cast<IWebControl*>(made.Get());
    ASSERT_NE(bare, nullptr);
    // Made in code, without the creation hook: no browser, nothing happens.
    bare->Navigate(L"page.html");
    EXPECT_STREQ(bare->GetURL(), L"");
    EXPECT_FALSE(bare->GetFrame());

    ui->GetRootWindow()->SetRect(0, 0, 400, 300);
    TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    ui->GetRootWindow()->LoadAttributes(document->Parse(
        L"<Panel><WebControl Name=\"web\" X=\"10\" Y=\"20\" Width=\"200\" Height=\"100\" URL=\"page.html\"/></Panel>"));
    auto* control = dynamic_cast<CWebControl*>(ui->GetRootWindow()->FindWindow(L"web"));
    ASSERT_NE(control, nullptr);
    ASSERT_NE(control->GetBrowser(), nullptr);
    // A relative file name is taken under the current folder.
    EXPECT_NE(std::wstring(control->GetURL()).find(L"page.html"), std::wstring::npos);
    EXPECT_NE(std::wstring(control->GetURL()), L"page.html");
    HWND browserWindow = control->GetFrame()->GetHandle();
    // Not streaming: the page shows only once its document completed. The
    // host is on screen, so the browser's window would count as visible.
    ASSERT_TRUE(IsWindowVisible(host.frame->GetHandle()));
    EXPECT_FALSE(IsWindowVisible(browserWindow));
    EventLog log;
    control->AddMemberFunctionDelegate(WEBCONTROL_EVENT_NAVIGATE, &log, &EventLog::OnNavigate);
    control->AddMemberFunctionDelegate(WEBCONTROL_EVENT_DOCUMENT_COMPLETE, &log, &EventLog::OnComplete);
    Common::tagEventArgs none;
    control->GetBrowser()->Fire(WEBBROWSER_EVENT_DOCUMENT_COMPLETE, control->GetBrowser(), &none);
    EXPECT_TRUE(IsWindowVisible(browserWindow));
    control->Hide();
    EXPECT_FALSE(IsWindowVisible(browserWindow));
    tagWebBrowserNavigateEventArgs navigate;
    navigate.URL = L"vornuweb:open";
    control->GetBrowser()->Fire(WEBBROWSER_EVENT_NAVIGATE, control->GetBrowser(), &navigate);
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"complete", L"control navigate vornuweb:open"}));

    // Letting the browser go leaves a control whose browser calls do nothing.
    control->ResetBackgroundImage();
    EXPECT_EQ(control->GetBrowser(), nullptr);
    EXPECT_FALSE(control->GetFrame());
}
