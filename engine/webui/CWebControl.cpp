#include "engine/webui/CWebControl.h"

#include "engine/common/system/ShellFunctions.h"
#include "engine/directui/uisystem/ControlMakers.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

CWebControl::~CWebControl() { ReleaseBrowser(); }

void CWebControl::OnCreated()
{
    IUISystemDriver* driver = GetDriver();
    m_browserHost = driver != nullptr ? driver->GetFrameHandle() : nullptr;
    m_browser = Common::TIntrusivePointer<WebUI::IWebBrowser>(WebUI::IWebBrowser_Create(m_browserHost));
    if (!m_browser)
        return;
    m_browser->Create();
    m_browser->Hide();
    m_browser->AddMemberFunctionDelegate(WebUI::WEBBROWSER_EVENT_NAVIGATE, this, &CWebControl::OnBrowserNavigate);
    m_browser->AddMemberFunctionDelegate(WebUI::WEBBROWSER_EVENT_DOCUMENT_COMPLETE, this,
                                         &CWebControl::OnBrowserDocumentComplete);
}

// Let go of inside one of its notifications, the browser goes only once the
// notification is over: its window leaves the screen now.
void CWebControl::ReleaseBrowser()
{
    if (!m_browser)
        return;
    m_browser->RemoveAllDelegates();
    m_browser->Hide();
    m_browser.Reset();
}

void CWebControl::PlaceBrowserWindow()
{
    if (!m_browser)
        return;
    IUISystemDriver* driver = GetDriver();
    const bool inHostTree = GetUISystem() != nullptr && driver != nullptr && driver->GetFrameHandle() == m_browserHost;
    if (inHostTree && IsVisibleInTree() && (m_streaming || m_loaded))
        m_browser->Show();
    else
        m_browser->Hide();
}

void CWebControl::ResetBackgroundImage() { ReleaseBrowser(); }

void CWebControl::LoadAttributes(Common::IXmlElement* element)
{
    if (element == nullptr)
        return;
    m_streaming = element->GetAttributeBool(L"Streaming");
    CUIWindow::LoadAttributes(element);
    if (IsVisible())
        Show();
    else
        Hide();
    Navigate(element->GetAttribute(L"URL"));
}

void CWebControl::Navigate(const wchar_t* url)
{
    if (!m_browser || url == nullptr || url[0] == L'\0')
        return;
    m_loaded = false;
    PlaceBrowserWindow();
    const Common::TIntrusivePointer<Common::IString> processed = Common::ProcessURL(url);
    m_url = processed ? processed->GetUtf16() : url;
    m_browser->Navigate(L"about:blank");
    m_browser->Navigate(m_url.c_str());
}

void CWebControl::SetStreaming(bool streaming) { m_streaming = streaming; }
bool CWebControl::IsStreaming() { return m_streaming; }
void CWebControl::SetURL(const wchar_t* url) { Navigate(url); }
const wchar_t* CWebControl::GetURL() { return m_url.c_str(); }

void CWebControl::Focus()
{
    if (m_browser)
        m_browser->Focus();
}

void CWebControl::SetFocusOnLoad(bool focus)
{
    if (m_browser)
        m_browser->SetFocusOnLoad(focus);
}

Common::TIntrusivePointer<IFrame> CWebControl::GetFrame()
{
    return m_browser ? m_browser->GetFrame() : Common::TIntrusivePointer<IFrame>();
}

void CWebControl::SetRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    CUIWindow::SetRect(x, y, width, height);
    if (m_browser)
        m_browser->SetRect(GetAnchoredX(), GetAnchoredY(), width, height);
}

// The browser's window follows the control, and the control's ancestors,
// while streaming or once the page has loaded. The window base's own Show
// and Hide keep the tree told.
void CWebControl::Show()
{
    CUIWindow::Show();
    PlaceBrowserWindow();
}

void CWebControl::Hide()
{
    CUIWindow::Hide();
    PlaceBrowserWindow();
}

void CWebControl::OnHideTree()
{
    CUIWindow::OnHideTree();
    PlaceBrowserWindow();
}

void CWebControl::OnShowTree()
{
    CUIWindow::OnShowTree();
    PlaceBrowserWindow();
}

// Taken out of the tree (itself or with an ancestor) the control has no UI
// system any more, and its browser's window leaves the screen.
void CWebControl::SetUISystem(IUISystem* system)
{
    CUIWindow::SetUISystem(system);
    PlaceBrowserWindow();
}

void CWebControl::OnBrowserNavigate(void*, Common::tagEventArgs* args)
{
    tagWebControlNavigateEventArgs navigate;
    if (auto* browserArgs = static_cast<WebUI::tagWebBrowserNavigateEventArgs*>(args))
        navigate.URL = browserArgs->URL;
    Fire(WEBCONTROL_EVENT_NAVIGATE, static_cast<IWebControl*>(this), &navigate);
}

void CWebControl::OnBrowserDocumentComplete(void*, Common::tagEventArgs*)
{
    m_loaded = true;
    PlaceBrowserWindow();
    tagWebControlDocumentCompleteEventArgs complete;
    Fire(WEBCONTROL_EVENT_DOCUMENT_COMPLETE, static_cast<IWebControl*>(this), &complete);
}

void RegisterWebControl()
{
    RegisterControlMaker(L"WebControl", []() -> CUIWindow* { return new (std::nothrow) CWebControl(); });
}

} // namespace DirectUI
} // namespace RVGameEngine
