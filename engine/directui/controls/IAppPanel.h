#pragma once

#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// Raised when another page comes under the viewport (sender: the IAppPanel);
// read GetCurrentPage.
constexpr int32_t kAppPanelPageChangedEvent = 16;

struct RV_API tagAppPanelPageChangedEventArgs : public Common::tagEventArgs
{
};

// A horizontally paged container inside a narrower parent, its viewport;
// each page is one parent width and the panel's X is the scroll position.
class RV_API IAppPanel : public virtual IUIWindow
{
public:
    virtual int32_t GetPageWidth() = 0;
    virtual int32_t GetPageCount() = 0;
    virtual int32_t GetCurrentPage() = 0;
    // Moves there at once; a page out of range does nothing.
    virtual void SetPage(int32_t page) = 0;
    // Animates there, the page limited to the range.
    virtual void ScrollToPage(int32_t page) = 0;
    virtual void PreviousPage() = 0;
    virtual void NextPage() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
