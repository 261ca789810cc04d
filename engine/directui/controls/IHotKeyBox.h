#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Events of the "HotKeyBox" control (sender: the IHotKeyBox).
constexpr int32_t kHotKeyBoxTextChangedEvent = 16;
constexpr int32_t kHotKeyBoxTextChangingEvent = 17;

// Modifier bits, as hot-key registration takes them.
constexpr uint32_t kHotKeyAlt = 1;
constexpr uint32_t kHotKeyCtrl = 2;
constexpr uint32_t kHotKeyShift = 4;

struct RV_API tagHotKeyBoxTextChangedEventArgs : public Common::tagEventArgs
{
};

// A handler keeps the previous hot key by setting cancel.
struct RV_API tagHotKeyBoxTextChangingEventArgs : public Common::tagEventArgs
{
    uint32_t modifiers = 0;
    uint32_t key = 0;
    bool cancel = false;
};

// Captures a key combination and shows it as text, such as Ctrl + Shift + F5.
class RV_API IHotKeyBox : public virtual IUIWindow
{
public:
    virtual void SetHotKey(uint32_t modifiers, uint32_t key) = 0;
    virtual void SetModifiers(uint32_t modifiers) = 0;
    virtual uint32_t GetModifiers() = 0;
    virtual void SetKey(uint32_t key) = 0;
    virtual uint32_t GetKey() = 0;
    virtual void SetCaretColor(tagColor color) = 0;
    virtual tagColor GetCaretColor() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
