#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Events of the "RichOutputBox" control (sender: the IRichOutputBox). The
// texts point into the clicked element and live as long as the call.
constexpr int32_t kRichOutputBoxTextButtonClickedEvent = 16;
constexpr int32_t kRichOutputBoxHyperLinkClickedEvent = 17;
constexpr int32_t kRichOutputBoxImageClickedEvent = 18;

struct RV_API tagRichOutputBoxTextButtonClickedEventArgs : public Common::tagEventArgs
{
    const wchar_t* name = L"";
    const wchar_t* tag = L"";
    const wchar_t* text = L"";
};

// A handler that sets handled keeps the link from being opened.
struct RV_API tagRichOutputBoxHyperLinkClickedEventArgs : public Common::tagEventArgs
{
    const wchar_t* name = L"";
    const wchar_t* tag = L"";
    const wchar_t* text = L"";
    const wchar_t* url = L"";
    bool handled = false;
};

struct RV_API tagRichOutputBoxImageClickedEventArgs : public Common::tagEventArgs
{
    const wchar_t* name = L"";
    const wchar_t* tag = L"";
    const wchar_t* filename = L"";
};

// A read-only box of rich text: runs, text buttons, links and inline
// pictures from markup, one paragraph per piece, wrapped at the box's width
// and scrolled by its owner.
class RV_API IRichOutputBox : public virtual IUIWindow
{
public:
    virtual void AppendText(const wchar_t* markup) = 0;
    virtual void Clear() = 0;
    virtual void SetLineGap(int32_t pixels) = 0;
    virtual int32_t GetLineGap() = 0;
    virtual void SetParagraphGap(int32_t pixels) = 0;
    virtual int32_t GetParagraphGap() = 0;
    virtual int32_t GetContentHeight() = 0;
    virtual int32_t GetViewHeight() = 0;
    virtual void SetScrollOffset(int32_t pixels) = 0;
    virtual int32_t GetScrollOffset() = 0;
    // Every paragraph's text, each ending in "\r\n"; pictures as "/:nn".
    virtual Common::TIntrusivePointer<Common::IString> GetPlainText() = 0;
    virtual Common::TIntrusivePointer<Common::IString> GetLastParagraphText() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
