#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// The web control's events (sender: its IWebControl).
enum enmWebControlEvent : int32_t
{
    // A link of the program's own prefix was cancelled in the page.
    WEBCONTROL_EVENT_NAVIGATE = 16,
    WEBCONTROL_EVENT_DOCUMENT_COMPLETE = 17,
};

struct RV_API tagWebControlNavigateEventArgs : public Common::tagEventArgs
{
    const wchar_t* URL = L"";
};

struct RV_API tagWebControlDocumentCompleteEventArgs : public Common::tagEventArgs
{
};

// A web page in a window tree: the system browser's window kept over the
// control's rectangle.
class RV_API IWebControl : public virtual IUIWindow
{
public:
    virtual void Navigate(const wchar_t* url) = 0;
    // Streaming pages show while loading; others once their document completed.
    virtual void SetStreaming(bool streaming) = 0;
    virtual bool IsStreaming() = 0;
    virtual void SetURL(const wchar_t* url) = 0;
    virtual const wchar_t* GetURL() = 0;
    virtual void Focus() = 0;
    virtual void SetFocusOnLoad(bool focus) = 0;
    virtual Common::TIntrusivePointer<IFrame> GetFrame() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
