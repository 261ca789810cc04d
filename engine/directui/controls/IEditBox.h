#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Events of the "EditBox" control (sender: the IEditBox; the wheel: the IUIWindow).
constexpr int32_t kEditBoxTextChangedEvent = 16;
constexpr int32_t kEditBoxWillAcceptCharEvent = 17;
constexpr int32_t kEditBoxMouseWheelEvent = 18;

struct RV_API tagEditBoxTextChangedEventArgs : public Common::tagEventArgs
{
};

// Raised only while someone listens; a handler refuses the character by
// clearing accept.
struct RV_API tagEditBoxWillAcceptCharEventArgs : public Common::tagEventArgs
{
    wchar_t character = 0;
    bool accept = true;
};

// The single-line text entry. Its text is the window's title.
class RV_API IEditBox : public virtual IUIWindow
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
    virtual void SetPassword(bool password) = 0;
    virtual bool GetPassword() = 0;
    // Stores at most 2000.
    virtual void SetCharLimit(int32_t limit) = 0;
    virtual int32_t GetCharLimit() = 0;
    virtual void SetNumberOnly(bool numberOnly) = 0;
    virtual bool GetNumberOnly() = 0;
    virtual void SetSelectColor(tagColor color) = 0;
    virtual tagColor GetSelectColor() = 0;
    virtual void SetCaretColor(tagColor color) = 0;
    virtual tagColor GetCaretColor() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
