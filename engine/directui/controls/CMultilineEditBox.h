#pragma once

#include "engine/directui/controls/CGlyphSizeCache.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/controls/TEditHistory.h"
#include "engine/directui/controls/tagMultilineEditBoxState.h"
#include "engine/directui/controls/tagTextSelection.h"
#include "engine/directui/uisystem/CUICaret.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <climits>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Multi-line text entry: the text flows over lines wrapped character by
// character at the box's width; the caret moves between lines by position.
class RV_API CMultilineEditBox : public CUIWindow, public IMultilineEditBox
{
public:
    // Where a caret index stands, relative to the box's origin, and the size
    // of the character there (the empty text's size at the end).
    struct tagGlyphPlace
    {
        int32_t x;
        int32_t y;
        int32_t width;
        int32_t height;
    };

    CMultilineEditBox();

    // IMultilineEditBox
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
    void SetCharLimit(int32_t limit) override;
    int32_t GetCharLimit() override;
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
    void OnHideTree() override;
    void OnShowTree() override;

    int32_t GetCaretIndex() const { return m_caret; }
    const tagTextSelection& GetSelection() const { return m_selection; }
    const CUICaret& GetCaret() const { return m_caretView; }
    // The place of every caret index, 0 to the text's length.
    const std::vector<tagGlyphPlace>& GetLayout();

private:
    using StatePointer = Common::TIntrusivePointer<tagMultilineEditBoxState>;
    // No position to move to (any index below 0 still clamps to 0).
    static constexpr int32_t kNoTarget = INT32_MIN;

    int32_t TextLength();
    bool IsFocusWindow();
    bool CanTakeMouse(int32_t x, int32_t y, bool* continueRouting);
    int32_t TitleFont();
    int32_t FontHeight();

    bool InsertChar(wchar_t character);
    void DeleteSelection();
    // Every change of the text goes through these, which keep its length,
    // weight and the first place the layout must be redone.
    void InsertAt(int32_t index, wchar_t character);
    void EraseAt(int32_t index, int32_t count);
    void StoreText(const std::wstring& text, size_t firstChanged);
    void ReplaceWholeText(const wchar_t* text);
    void RaiseTextChanged();

    void SetCaretPosition(int32_t index);
    void UpdateCaret();
    void BeginShiftSelection(bool shiftDown);
    void UpdateShiftSelection(bool shiftDown);
    int32_t KeyTarget(int32_t virtualKey, bool ctrlDown);
    int32_t NearestOnOtherLine(bool above);
    int32_t LineStart();
    int32_t LineEnd();
    int32_t HitPoint(int32_t px, int32_t py);
    void RunCtrlShortcut(int32_t virtualKey);

    StatePointer Snapshot();
    void Restore(const StatePointer& state);
    void PushUndoState();

    int32_t m_charLimit = 1000;
    int32_t m_caret = 0;
    tagColor m_selectColor{64, 64, 64, 255};
    tagTextSelection m_selection;
    bool m_mouseSelecting = false;
    bool m_afterDoubleClick = false;
    TEditHistory<tagMultilineEditBoxState> m_history;
    tagColor m_caretColor{255, 255, 255, 255};
    CUICaret m_caretView;

    int32_t m_textLength = 0;
    int32_t m_textWeight = 0;
    // A place depends only on the characters up to and including its own:
    // places before the first changed character stay valid.
    CGlyphSizeCache m_glyphs;
    std::vector<tagGlyphPlace> m_layout;
    size_t m_layoutDirtyFrom = 0;
    int32_t m_layoutWidth = -1;
    int32_t m_layoutFont = -1;
    IUISystemDriver* m_layoutDriver = nullptr;
};

} // namespace DirectUI
} // namespace RVGameEngine
