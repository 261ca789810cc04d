#pragma once

#include "engine/directui/controls/IHotKeyBox.h"
#include "engine/directui/uisystem/CUICaret.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Turns each key press while it has the focus into a modifier set and a
// virtual-key code, shown in the window's title; takes no typed characters.
class RV_API CHotKeyBox : public CUIWindow, public IHotKeyBox
{
public:
    CHotKeyBox();

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
    void ResetBackgroundImage() override;
    void Disable() override;
    bool IsFocusable() override;
    void SetFocus(bool frameRefocused) override;
    void KillFocus() override;
    void LoadAttributes(Common::IXmlElement* element) override;
    void SetTitle(const wchar_t* title) override;

    // The window's handlers
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;
    void OnHideTree() override;
    void OnShowTree() override;

    const CUICaret& GetCaret() const { return m_caretView; }

private:
    bool IsFocusWindow();
    int32_t TitleFont();
    int32_t MeasureWidth(const std::wstring& text, int32_t* height);
    void UpdateCaret();
    // Asks the handlers of the changing event; false when one cancels.
    bool MayChangeTo(uint32_t modifiers, uint32_t key);

    int32_t m_caret = 0;
    uint32_t m_modifiers = 0;
    uint32_t m_key = 0;
    tagColor m_caretColor{255, 255, 255, 255};
    CUICaret m_caretView;
};

} // namespace DirectUI
} // namespace RVGameEngine
