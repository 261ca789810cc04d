#pragma once

#include "engine/directui/uisystem/CUICaret.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// A window that takes the keyboard focus and shows a blinking caret while it
// has it: the common part of the text-input controls. Each places the caret
// where its own text puts it.
class RV_API CCaretControl : public CUIWindow
{
public:
    CCaretControl();

    // IUIWindow
    // The control draws no skin of its own: a description's background stays.
    void ResetBackgroundImage() override;
    void Disable() override;
    bool IsFocusable() override;
    void SetFocus(bool frameRefocused) override;
    void KillFocus() override;

    // The window's handlers
    void OnFrameMove(int32_t elapsedMs) override;
    void OnHideTree() override;
    void OnShowTree() override;

    const CUICaret& GetCaret() const { return m_caretView; }

protected:
    bool IsFocusWindow();
    void TakeFocus();
    // The font list's index of the window's title font.
    int32_t TitleFontIndex();
    // Reads "CaretColor" when the element has it.
    void LoadCaretColor(Common::IXmlElement* element);
    void ShowCaret(int32_t x, int32_t y, int32_t width, int32_t height)
    {
        m_caretView.Show(x, y, width, height, m_caretColor);
    }
    void DrawCaret(int32_t originX, int32_t originY) { m_caretView.Draw(originX, originY); }

    // Shows the caret at the control's caret position, when it may show.
    virtual void UpdateCaret() = 0;
    // Runs when the focus arrives, before the caret is placed.
    virtual void OnFocusArrived(bool /*frameRefocused*/) {}

    tagColor m_caretColor{255, 255, 255, 255};

private:
    CUICaret m_caretView;
};

} // namespace DirectUI
} // namespace RVGameEngine
