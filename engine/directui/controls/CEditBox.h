#pragma once

#include "engine/directui/controls/CEditBoxState.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/controls/TEditHistory.h"
#include "engine/directui/controls/tagTextSelection.h"
#include "engine/directui/uisystem/CUICaret.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Single-line text entry: caret, selection by keys and mouse, a view that
// scrolls sideways to keep the caret in sight, password and digits-only
// modes, a weighted character limit, clipboard, undo and redo.
class RV_API CEditBox : public CUIWindow, public IEditBox
{
public:
    CEditBox();

    // IEditBox
    void SelectAll() override;
    void ClearSelection() override;
    void Delete() override;
    void Backspace() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    bool CanUndo() override;
    bool CanRedo() override;
    void Undo() override;
    void Redo() override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnChar(wchar_t character) override;
    void SetPassword(bool password) override;
    bool GetPassword() override;
    void SetCharLimit(int32_t limit) override;
    int32_t GetCharLimit() override;
    void SetNumberOnly(bool numberOnly) override;
    bool GetNumberOnly() override;
    void SetSelectColor(tagColor color) override;
    tagColor GetSelectColor() override;
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
    void OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnRButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnRButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;
    void OnMouseWheel(int32_t steps) override;
    void OnHideTree() override;
    void OnShowTree() override;

    int32_t GetCaretIndex() const { return m_caret; }
    int32_t GetScrollOffset() const { return m_scrollOffset; }
    const tagTextSelection& GetSelection() const { return m_selection; }
    const CUICaret& GetCaret() const { return m_caretView; }

private:
    using StatePointer = Common::TIntrusivePointer<CEditBoxState>;

    std::wstring Text() { return GetTitle(); }
    int32_t TextLength();
    bool IsFocusWindow();
    bool CanTakeMouse(int32_t x, int32_t y, bool* continueRouting);
    int32_t TitleFont();
    // Width of the characters [from, to) as shown (masked in password mode).
    int32_t MeasureTextRange(int32_t from, int32_t to);
    int32_t WidthTo(int32_t index) { return MeasureTextRange(0, index); }
    int32_t FontHeight();
    std::wstring ShownText(int32_t from, int32_t to);

    bool WillAcceptChar(wchar_t character);
    bool InsertChar(wchar_t character);
    void DeleteSelection();
    void DeleteCharAfterCaret();
    void DeleteCharBeforeCaret();
    void ReplaceText(const std::wstring& text);
    void RaiseTextChanged();

    int32_t ClampIndex(int32_t index);
    void SetCaretIndex(int32_t index);
    void SetCaretScrollingLeft(int32_t index);
    void SetCaretScrollingRight(int32_t index);
    void UpdateCaret();
    void BeginShiftSelection(bool shiftDown);
    void UpdateShiftSelection(bool shiftDown);
    void MoveCaretByKey(int32_t virtualKey, bool shiftDown);
    void RunCtrlShortcut(int32_t virtualKey);
    void HitTestChar(int32_t textX);

    StatePointer Snapshot();
    void Restore(const StatePointer& state);
    void PushUndoState();

    bool m_password = false;
    int32_t m_charLimit = 1000;
    int32_t m_caret = 0;
    int32_t m_scrollOffset = 0;
    tagColor m_selectColor{64, 64, 64, 255};
    tagTextSelection m_selection;
    bool m_mouseSelecting = false;
    bool m_afterDoubleClick = false;
    TEditHistory<CEditBoxState> m_history;
    bool m_numberOnly = false;
    tagColor m_caretColor{255, 255, 255, 255};
    CUICaret m_caretView;
};

} // namespace DirectUI
} // namespace RVGameEngine
