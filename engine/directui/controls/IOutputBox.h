#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The "OutputBox" control: a read-only log of lines, each in its own font and
// colour, wrapped at the box's width and scrolled by its owner.
class RV_API IOutputBox : public virtual IUIWindow
{
public:
    virtual void Clear() = 0;
    virtual void AppendText(const wchar_t* fontName, tagColor color, const wchar_t* text) = 0;
    virtual int32_t GetContentWidth() = 0;
    virtual int32_t GetContentHeight() = 0;
    virtual int32_t GetViewHeight() = 0;
    virtual void SetScrollOffset(int32_t pixels) = 0;
    virtual int32_t GetScrollOffset() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
