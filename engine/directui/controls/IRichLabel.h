#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The "RichLabel" control: a label whose title shows as rich text in the
// title's font and colour. It also offers all of IRichOutputBox.
class RV_API IRichLabel : public virtual IUIWindow
{
public:
    // Shows a title whose "/:nn" codes become expression pictures.
    virtual void SetText(const wchar_t* text) = 0;
    virtual int32_t GetContentHeight() = 0;
    virtual void SetLineGap(int32_t pixels) = 0;
    virtual int32_t GetLineGap() = 0;
    virtual void SetParagraphGap(int32_t pixels) = 0;
    virtual int32_t GetParagraphGap() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
