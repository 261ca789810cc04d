#pragma once

#include "engine/directui/controls/CGlyphSizeCache.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/controls/TTextEditControl.h"
#include "engine/directui/controls/tagMultilineEditBoxState.h"

#include <climits>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Multi-line text entry: the text flows over lines wrapped character by
// character at the box's width; the caret moves between lines by position.
class RV_API CMultilineEditBox : public TTextEditControl<IMultilineEditBox, tagMultilineEditBoxState>
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

    // IMultilineEditBox
    void SelectAll() override;
    void Delete() override;
    void Backspace() override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnChar(wchar_t character) override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;
    void SetTitle(const wchar_t* title) override;

    // The window's handlers
    void OnPaint() override;

    // The place of every caret index, 0 to the text's length.
    const std::vector<tagGlyphPlace>& GetLayout();

private:
    // No position to move to (any index below 0 still clamps to 0).
    static constexpr int32_t kNoTarget = INT32_MIN;

    int32_t TextLength();
    int32_t FontHeight();

    bool InsertChar(wchar_t character);
    // Every change of the text goes through these, which keep its length,
    // weight and the first place the layout must be redone.
    void InsertAt(int32_t index, wchar_t character);
    void EraseAt(int32_t index, int32_t count);
    void StoreText(const std::wstring& text, size_t firstChanged);
    void ReplaceWholeText(const wchar_t* text);
    void RaiseTextChanged();

    void SetCaretPosition(int32_t index);
    int32_t KeyTarget(int32_t virtualKey, bool ctrlDown);
    int32_t NearestOnOtherLine(bool above);
    int32_t LineStart();
    int32_t LineEnd();
    int32_t HitPoint(int32_t px, int32_t py);

    // TTextEditControl and CCaretControl
    StatePointer Snapshot() override;
    void Restore(const StatePointer& state) override;
    void DeleteSelection() override;
    void FocusOnClick() override;
    void MoveCaretToPoint(int32_t x, int32_t y) override;
    void RaiseContextMenu(int32_t x, int32_t y) override;
    void UpdateCaret() override;

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
