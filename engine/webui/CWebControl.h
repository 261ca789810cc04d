#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IWebControl.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/webui/IWebBrowser.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Puts the hosted browser's window over the control's rectangle and passes
// its two notifications on as the control's own events.
class RV_API CWebControl : public CUIWindow, public IWebControl
{
public:
    ~CWebControl() override;

    // IWebControl
    void Navigate(const wchar_t* url) override;
    void SetStreaming(bool streaming) override;
    bool IsStreaming() override;
    void SetURL(const wchar_t* url) override;
    const wchar_t* GetURL() override;
    void Focus() override;
    void SetFocusOnLoad(bool focus) override;
    Common::TIntrusivePointer<IFrame> GetFrame() override;

    // IUIWindow
    void OnCreated() override;
    void ResetBackgroundImage() override;
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void Show() override;
    void Hide() override;
    void LoadAttributes(Common::IXmlElement* element) override;
    void SetUISystem(IUISystem* system) override;

    // CUIWindow
    void OnHideTree() override;
    void OnShowTree() override;

    // The hosted browser, or null before the control was created in a tree.
    WebUI::IWebBrowser* GetBrowser() const { return m_browser.Get(); }

private:
    void OnBrowserNavigate(void* sender, Common::tagEventArgs* args);
    void OnBrowserDocumentComplete(void* sender, Common::tagEventArgs* args);
    void ReleaseBrowser();
    // The browser's window is on screen only while the control is shown in
    // the tree it was made in, streaming or with its page complete.
    void PlaceBrowserWindow();

    bool m_streaming = false;
    Common::TIntrusivePointer<WebUI::IWebBrowser> m_browser;
    std::wstring m_url;
    bool m_loaded = false;
    // The frame window the browser was made in.
    HWND m_browserHost = nullptr;
};

// Lets the control factory make "WebControl" elements; the engine's start-up
// calls it, as the UI library cannot know this one above it.
RV_API void RegisterWebControl();

} // namespace DirectUI
} // namespace RVGameEngine
