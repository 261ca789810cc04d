#pragma once

#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/CCaretControl.h"
#include "engine/directui/controls/TEditHistory.h"
#include "engine/directui/controls/TextInputRules.h"
#include "engine/directui/controls/tagTextSelection.h"
#include "engine/directui/services/IClipboard.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// What the single-line and the multi-line edit box share: selection by keys
// and mouse, clipboard, snapshot undo and redo, the limit and colours. Each
// box lays its text out, places the caret and deletes a selection its own way.
template <typename Interface, typename State>
class TTextEditControl : public CCaretControl, public Interface
{
public:
    using StatePointer = Common::TIntrusivePointer<State>;

    void ClearSelection() override
    {
        m_selection.Clear();
        Invalidate();
    }
    void Cut() override
    {
        if (!m_selection.active)
            return;
        this->Copy();
        this->Delete();
    }
    // Without a selection, or when the text may not leave the box, the
    // clipboard gets an empty text.
    void Copy() override
    {
        if (!m_selection.active || !MayCopyOut()) {
            IClipboard_GetInstance()->SetText(L"");
            return;
        }
        const std::wstring text = GetTitle();
        IClipboard_GetInstance()->SetText(
            text.substr(static_cast<size_t>(m_selection.start), static_cast<size_t>(m_selection.end - m_selection.start))
                .c_str());
    }
    // Each pasted character is filtered, limited and announced as if typed.
    void Paste() override
    {
        PushUndoState();
        Common::TIntrusivePointer<Common::IString> pasted = IClipboard_GetInstance()->GetText();
        const std::wstring characters = pasted.IsNull() ? std::wstring() : std::wstring(pasted->GetUtf16());
        if (m_selection.active)
            DeleteSelection();
        for (wchar_t character : characters)
            static_cast<Interface*>(this)->OnChar(character);
    }
    bool CanUndo() override { return m_history.CanUndo(); }
    bool CanRedo() override { return m_history.CanRedo(); }
    void Undo() override
    {
        if (m_history.CanUndo())
            Restore(m_history.Undo(Snapshot()));
    }
    void Redo() override
    {
        if (m_history.CanRedo())
            Restore(m_history.Redo(Snapshot()));
    }
    void SetCharLimit(int32_t limit) override { m_charLimit = ClampCharLimit(limit); }
    int32_t GetCharLimit() override { return m_charLimit; }
    void SetSelectColor(tagColor color) override { m_selectColor = color; }
    tagColor GetSelectColor() override { return m_selectColor; }
    void SetCaretColor(tagColor color) override { m_caretColor = color; }
    tagColor GetCaretColor() override { return m_caretColor; }

    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnLButtonDown(x, y, continueRouting);
        if (!CanTakeMouse(x, y, continueRouting))
            return;
        if (m_afterDoubleClick) {
            m_afterDoubleClick = false;
            return;
        }
        m_mouseSelecting = true;
        CaptureMouse();
        FocusOnClick();
        MoveCaretToPoint(x, y);
        Consume(continueRouting);
    }
    // Moves and the release follow a drag that began in the box wherever the
    // pointer goes (the box holds the capture meanwhile).
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnMouseMove(x, y, continueRouting);
        if (!m_mouseSelecting || (continueRouting != nullptr && !*continueRouting))
            return;
        if (!m_selection.active)
            m_selection.StartAt(m_caret);
        MoveCaretToPoint(x, y);
        m_selection.MoveActiveEnd(m_caret);
        Invalidate();
    }
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnLButtonUp(x, y, continueRouting);
        if (continueRouting != nullptr && !*continueRouting)
            return;
        if (!m_mouseSelecting && !HitTest(x, y))
            return;
        ReleaseMouse();
        if (m_mouseSelecting && HitTest(x, y) && continueRouting != nullptr)
            Consume(continueRouting);
        m_mouseSelecting = false;
        Invalidate();
    }
    void OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnLButtonDblClk(x, y, continueRouting);
        if (!CanTakeMouse(x, y, continueRouting))
            return;
        this->SelectAll();
        m_afterDoubleClick = true;
    }
    void OnRButtonDown(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnRButtonDown(x, y, continueRouting);
        if (!CanTakeMouse(x, y, continueRouting))
            return;
        if (!IsFocusWindow())
            TakeFocus();
        Consume(continueRouting);
    }
    void OnRButtonUp(int32_t x, int32_t y, bool* continueRouting) override
    {
        if (!IsVisible() || !IsEnabled())
            return;
        CUIWindow::OnRButtonUp(x, y, continueRouting);
        if (!CanTakeMouse(x, y, continueRouting))
            return;
        Consume(continueRouting);
        RaiseContextMenu(x, y);
    }

    int32_t GetCaretIndex() const { return m_caret; }
    const tagTextSelection& GetSelection() const { return m_selection; }

protected:
    virtual StatePointer Snapshot() = 0;
    virtual void Restore(const StatePointer& state) = 0;
    virtual void DeleteSelection() = 0;
    virtual bool MayCopyOut() { return true; }
    // Focus and selection as a first or a later click leaves them.
    virtual void FocusOnClick() = 0;
    // The caret to the text position under the point (frame coordinates).
    virtual void MoveCaretToPoint(int32_t x, int32_t y) = 0;
    virtual void RaiseContextMenu(int32_t x, int32_t y) = 0;

    void PushUndoState() { m_history.Push(Snapshot()); }
    void ClearHistory() { m_history.Clear(); }

    // Shift grows the selection from the caret across a key move; a move
    // without Shift drops it.
    void BeginShiftSelection(bool shiftDown)
    {
        if (!shiftDown)
            ClearSelection();
        else if (!m_selection.active)
            m_selection.StartAt(m_caret);
    }
    void UpdateShiftSelection(bool shiftDown)
    {
        if (shiftDown)
            m_selection.MoveActiveEnd(m_caret);
    }
    // Ctrl (without Shift or Alt) with A, C, V, X, Y or Z.
    void RunCtrlShortcut(int32_t virtualKey)
    {
        switch (virtualKey) {
        case 'A': this->SelectAll(); break;
        case 'C': this->Copy(); break;
        case 'V': this->Paste(); break;
        case 'X': this->Cut(); break;
        case 'Y': this->Redo(); break;
        case 'Z': this->Undo(); break;
        default: break;
        }
        Invalidate();
    }
    // "CharLimit", "SelectColor" and "CaretColor", each when present.
    void LoadEditAttributes(Common::IXmlElement* element)
    {
        if (element->HasAttribute(L"CharLimit"))
            SetCharLimit(element->GetAttributeInt(L"CharLimit"));
        if (element->HasAttribute(L"SelectColor"))
            m_selectColor = ParseUIColor(element->GetAttribute(L"SelectColor"));
        LoadCaretColor(element);
    }
    bool CanTakeMouse(int32_t x, int32_t y, bool* continueRouting)
    {
        return (continueRouting == nullptr || *continueRouting) && HitTest(x, y);
    }
    static void Consume(bool* continueRouting)
    {
        if (continueRouting != nullptr)
            *continueRouting = false;
    }

    int32_t m_charLimit = kDefaultCharLimit;
    int32_t m_caret = 0;
    tagColor m_selectColor{64, 64, 64, 255};
    tagTextSelection m_selection;
    bool m_mouseSelecting = false;
    bool m_afterDoubleClick = false;

private:
    TEditHistory<State> m_history;
};

} // namespace DirectUI
} // namespace RVGameEngine
