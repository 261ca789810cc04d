#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Event of the "MultilineEditBox" control (sender: the IMultilineEditBox).
constexpr int32_t kMultilineEditBoxTextChangedEvent = 16;

struct RV_API tagMultilineEditBoxTextChangedEventArgs : public Common::tagEventArgs
{
};

// The multi-line text entry: text wrapped character by character at the
// box's width. Its text is the window's title.
class RV_API IMultilineEditBox : public virtual IUIWindow
{
public:
    virtual void SelectAll() = 0;
    virtual void ClearSelection() = 0;
    virtual void Delete() = 0;
    virtual void Backspace() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual bool CanUndo() = 0;
    virtual bool CanRedo() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void OnKeyDown(int32_t virtualKey) = 0;
    virtual void OnChar(wchar_t character) = 0;
    // Stores at most 2000.
    virtual void SetCharLimit(int32_t limit) = 0;
    virtual int32_t GetCharLimit() = 0;
    virtual void SetSelectColor(tagColor color) = 0;
    virtual tagColor GetSelectColor() = 0;
    virtual void SetCaretColor(tagColor color) = 0;
    virtual tagColor GetCaretColor() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
