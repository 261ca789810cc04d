#pragma once

#include "engine/directui/controls/CCaretControl.h"
#include "engine/directui/controls/IHotKeyBox.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Turns each key press while it has the focus into a modifier set and a
// virtual-key code, shown in the window's title; takes no typed characters.
class RV_API CHotKeyBox : public CCaretControl, public IHotKeyBox
{
public:
    // The name a key shows under; empty for a key that cannot be a hot key.
    static std::wstring KeyName(uint32_t virtualKey);
    // "Ctrl + Alt + Shift + <key>" with the modifiers present; "无" without a named key.
    static std::wstring HotKeyText(uint32_t modifiers, uint32_t virtualKey);

    // IHotKeyBox
    void SetHotKey(uint32_t modifiers, uint32_t key) override;
    void SetModifiers(uint32_t modifiers) override;
    uint32_t GetModifiers() override;
    void SetKey(uint32_t key) override;
    uint32_t GetKey() override;
    void SetCaretColor(tagColor color) override;
    tagColor GetCaretColor() override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;
    void SetTitle(const wchar_t* title) override;

    // The window's handlers
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnPaint() override;

private:
    int32_t MeasureWidth(const std::wstring& text, int32_t* height);
    void UpdateCaret() override;
    // Asks the handlers of the changing event; false when one cancels.
    bool MayChangeTo(uint32_t modifiers, uint32_t key);

    int32_t m_caret = 0;
    uint32_t m_modifiers = 0;
    uint32_t m_key = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
