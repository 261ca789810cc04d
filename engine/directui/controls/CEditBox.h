#pragma once

#include "engine/directui/controls/CEditBoxState.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/controls/TTextEditControl.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Single-line text entry: a view that scrolls sideways to keep the caret in
// sight, password and digits-only modes, a character filter event, and what
// every edit box has (selection, clipboard, undo, a weighted limit).
class RV_API CEditBox : public TTextEditControl<IEditBox, CEditBoxState>
{
public:
    // IEditBox
    void SelectAll() override;
    void Delete() override;
    void Backspace() override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnChar(wchar_t character) override;
    void SetPassword(bool password) override;
    bool GetPassword() override;
    void SetNumberOnly(bool numberOnly) override;
    bool GetNumberOnly() override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;
    void SetTitle(const wchar_t* title) override;

    // The window's handlers
    void OnPaint() override;
    void OnMouseWheel(int32_t steps) override;

    int32_t GetScrollOffset() const { return m_scrollOffset; }

private:
    std::wstring Text() { return GetTitle(); }
    int32_t TextLength();
    // Width of the characters [from, to) as shown (masked in password mode).
    int32_t MeasureTextRange(int32_t from, int32_t to);
    int32_t WidthTo(int32_t index) { return MeasureTextRange(0, index); }
    int32_t FontHeight();
    std::wstring ShownText(int32_t from, int32_t to);

    bool WillAcceptChar(wchar_t character);
    bool InsertChar(wchar_t character);
    void DeleteCharAfterCaret();
    void DeleteCharBeforeCaret();
    void ReplaceText(const std::wstring& text);
    void RaiseTextChanged();

    int32_t ClampIndex(int32_t index);
    void SetCaretIndex(int32_t index);
    void SetCaretScrollingLeft(int32_t index);
    void SetCaretScrollingRight(int32_t index);
    void MoveCaretByKey(int32_t virtualKey, bool shiftDown);

    // TTextEditControl and CCaretControl
    StatePointer Snapshot() override;
    void Restore(const StatePointer& state) override;
    void DeleteSelection() override;
    bool MayCopyOut() override { return !m_password; }
    void FocusOnClick() override;
    void MoveCaretToPoint(int32_t x, int32_t y) override;
    void RaiseContextMenu(int32_t x, int32_t y) override;
    void UpdateCaret() override;
    void OnFocusArrived(bool frameRefocused) override;

    bool m_password = false;
    int32_t m_scrollOffset = 0;
    bool m_numberOnly = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
