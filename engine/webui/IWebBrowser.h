#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"

#include <windows.h>

namespace RVGameEngine {
namespace WebUI {

// The browser's events (sender: the IWebBrowser).
enum enmWebBrowserEvent : int32_t
{
    // A navigation to an address of the program's own prefix was cancelled.
    WEBBROWSER_EVENT_NAVIGATE = 0,
    WEBBROWSER_EVENT_DOCUMENT_COMPLETE = 1,
};

// Addresses that begin with this prefix address the program, not the web.
constexpr wchar_t kProgramLinkPrefix[] = L"vornuweb";

struct RV_API tagWebBrowserNavigateEventArgs : public Common::tagEventArgs
{
    const wchar_t* URL = L"";
};

struct RV_API tagWebBrowserDocumentCompleteEventArgs : public Common::tagEventArgs
{
};

// Result codes of the browser's operations.
enum enmWebBrowserResult : int32_t
{
    WEBBROWSER_OK = 0,
    WEBBROWSER_NO_OBJECT = -1,
    WEBBROWSER_NO_BROWSER = -2,
    WEBBROWSER_NO_MEMORY = -3,
    WEBBROWSER_NO_INPLACE = -6,
};

// The system web browser hosted in a child frame of its own.
class RV_API IWebBrowser : public Common::CEventDelegateManager
{
public:
    ~IWebBrowser() override = default;
    // Makes the browser object, activates it in place and connects its events.
    virtual bool Create() = 0;
    // Lets go of the browser object: at once, or, inside one of its
    // notifications, from the message loop once the notification is over.
    virtual void Destroy() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // In the parent's client coordinates.
    virtual int SetRect(int x, int y, int width, int height) = 0;
    virtual int LoadHTML(const wchar_t* html) = 0;
    virtual int Navigate(const wchar_t* url) = 0;
    virtual void Focus() = 0;
    virtual void SetFocusOnLoad(bool focus) = 0;
    virtual Common::TIntrusivePointer<DirectUI::IFrame> GetFrame() = 0;
};

// Null when the engine heap is exhausted; the browser object comes with Create.
RV_API IWebBrowser* IWebBrowser_Create(HWND parent);

} // namespace WebUI
} // namespace RVGameEngine
