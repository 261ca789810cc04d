#include "engine/directui/controls/CEditBox.h"

#include "engine/directui/controls/TextInputRules.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/services/IClipboard.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/directui/uisystem/WindowEventArgs.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace RVGameEngine {
namespace DirectUI {

CEditBox::CEditBox()
{
    m_caretView.SetOwner(AsWindow());
    SetControlDrawsTitle(true);
}

// ---- Text, measuring and focus -------------------------------------------------

int32_t CEditBox::TextLength()
{
    return static_cast<int32_t>(wcslen(GetTitle()));
}

bool CEditBox::IsFocusWindow()
{
    IUISystem* system = GetUISystem();
    return system != nullptr && system->GetFocusWindow() == AsWindow();
}

int32_t CEditBox::TitleFont()
{
    return GetDriver() != nullptr ? GetDriver()->GetFont(GetTitleFont()) : 0;
}

std::wstring CEditBox::ShownText(int32_t from, int32_t to)
{
    const std::wstring text = Text();
    from = std::max(0, std::min(from, static_cast<int32_t>(text.size())));
    to = std::max(from, std::min(to, static_cast<int32_t>(text.size())));
    if (m_password)
        return std::wstring(static_cast<size_t>(to - from), L'*');
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

int32_t CEditBox::MeasureTextRange(int32_t from, int32_t to)
{
    if (GetDriver() == nullptr)
        return 0;
    int32_t width = 0, height = 0;
    GetDriver()->MeasureText(TitleFont(), ShownText(from, to).c_str(), &width, &height);
    return width;
}

int32_t CEditBox::FontHeight()
{
    if (GetDriver() == nullptr)
        return 0;
    int32_t width = 0, height = 0;
    GetDriver()->MeasureText(TitleFont(), L"|", &width, &height);
    return height;
}

// ---- Caret and scrolling ----------------------------------------------------------

int32_t CEditBox::ClampIndex(int32_t index)
{
    return std::max(0, std::min(index, TextLength()));
}

void CEditBox::SetCaretIndex(int32_t index)
{
    m_caret = ClampIndex(index);
    UpdateCaret();
}

void CEditBox::SetCaretScrollingLeft(int32_t index)
{
    index = ClampIndex(index);
    const int32_t width = WidthTo(index);
    if (width < -m_scrollOffset)
        m_scrollOffset = -width;
    m_caret = index;
    Invalidate();
    UpdateCaret();
}

void CEditBox::SetCaretScrollingRight(int32_t index)
{
    index = ClampIndex(index);
    const int32_t width = WidthTo(index);
    if (m_scrollOffset + width > GetWidth())
        m_scrollOffset = GetWidth() - width - 1;
    m_caret = index;
    Invalidate();
    UpdateCaret();
}

void CEditBox::UpdateCaret()
{
    if (!IsVisibleInTree() || !IsFocusWindow())
        return;
    m_caretView.Show(m_scrollOffset + WidthTo(m_caret), 0, 1, GetHeight(), m_caretColor);
}

// ---- Selection ----------------------------------------------------------------------

void CEditBox::SelectAll()
{
    m_selection.SelectAll(TextLength());
    SetCaretScrollingRight(TextLength());
    Invalidate();
}

void CEditBox::ClearSelection()
{
    m_selection.Clear();
    Invalidate();
}

void CEditBox::BeginShiftSelection(bool shiftDown)
{
    if (!shiftDown)
        ClearSelection();
    else if (!m_selection.active)
        m_selection.StartAt(m_caret);
}

void CEditBox::UpdateShiftSelection(bool shiftDown)
{
    if (shiftDown)
        m_selection.MoveActiveEnd(m_caret);
}

// ---- Editing ------------------------------------------------------------------------

void CEditBox::ReplaceText(const std::wstring& text)
{
    CUIWindow::SetTitle(text.c_str());
}

void CEditBox::RaiseTextChanged()
{
    tagEditBoxTextChangedEventArgs args;
    Fire(kEditBoxTextChangedEvent, static_cast<IEditBox*>(this), &args);
}

bool CEditBox::WillAcceptChar(wchar_t character)
{
    if (character < kFirstPrintableChar)
        return false;
    if (m_password && character >= kFirstWideChar)
        return false;
    if (m_numberOnly && (character < L'0' || character > L'9'))
        return false;
    if (!HasSubscriber(kEditBoxWillAcceptCharEvent))
        return true;
    tagEditBoxWillAcceptCharEventArgs args;
    args.character = character;
    Fire(kEditBoxWillAcceptCharEvent, static_cast<IEditBox*>(this), &args);
    return args.accept;
}

bool CEditBox::InsertChar(wchar_t character)
{
    if (!WillAcceptChar(character))
        return false;
    // A replaced selection is credited by its number of characters.
    const int32_t replaced = m_selection.active ? m_selection.end - m_selection.start : 0;
    if (CharWeight(character) + TextWeight(Text()) - replaced > m_charLimit)
        return false;
    PushUndoState();
    if (m_selection.active)
        DeleteSelection();
    std::wstring text = Text();
    text.insert(static_cast<size_t>(ClampIndex(m_caret)), 1, character);
    ReplaceText(text);
    SetCaretScrollingRight(m_caret + 1);
    Invalidate();
    UpdateCaret();
    return true;
}

void CEditBox::DeleteSelection()
{
    if (!m_selection.active)
        return;
    const int32_t start = m_selection.start;
    const int32_t count = m_selection.end - m_selection.start;
    SetCaretScrollingLeft(start);
    SetCaretIndex(start);
    ClearSelection();
    std::wstring text = Text();
    if (m_caret < static_cast<int32_t>(text.size()) && count > 0)
        text.erase(static_cast<size_t>(m_caret), static_cast<size_t>(count));
    ReplaceText(text);
    Invalidate();
    UpdateCaret();
}

void CEditBox::DeleteCharAfterCaret()
{
    std::wstring text = Text();
    if (m_caret < 0 || m_caret >= static_cast<int32_t>(text.size()))
        return;
    text.erase(static_cast<size_t>(m_caret), 1);
    ReplaceText(text);
    Invalidate();
    UpdateCaret();
}

void CEditBox::DeleteCharBeforeCaret()
{
    if (m_caret <= 0)
        return;
    std::wstring text = Text();
    text.erase(static_cast<size_t>(m_caret - 1), 1);
    ReplaceText(text);
    SetCaretScrollingLeft(m_caret - 1);
}

void CEditBox::Delete()
{
    PushUndoState();
    if (m_selection.active)
        DeleteSelection();
    else
        DeleteCharAfterCaret();
    RaiseTextChanged();
}

void CEditBox::Backspace()
{
    PushUndoState();
    if (m_selection.active)
        DeleteSelection();
    else
        DeleteCharBeforeCaret();
    RaiseTextChanged();
}

void CEditBox::Cut()
{
    if (!m_selection.active)
        return;
    Copy();
    Delete();
}

void CEditBox::Copy()
{
    if (m_password || !m_selection.active) {
        IClipboard_GetInstance()->SetText(L"");
        return;
    }
    const std::wstring text = Text();
    IClipboard_GetInstance()->SetText(
        text.substr(static_cast<size_t>(m_selection.start), static_cast<size_t>(m_selection.end - m_selection.start))
            .c_str());
}

void CEditBox::Paste()
{
    PushUndoState();
    Common::TIntrusivePointer<Common::IString> pasted = IClipboard_GetInstance()->GetText();
    const std::wstring characters = pasted.IsNull() ? std::wstring() : std::wstring(pasted->GetUtf16());
    if (m_selection.active)
        DeleteSelection();
    for (wchar_t character : characters)
        OnChar(character);
}

// ---- Undo and redo ------------------------------------------------------------------

CEditBox::StatePointer CEditBox::Snapshot()
{
    StatePointer state(new CEditBoxState());
    state->text = Text();
    state->caret = m_caret;
    state->scrollOffset = m_scrollOffset;
    state->selection = m_selection;
    return state;
}

void CEditBox::Restore(const StatePointer& state)
{
    ReplaceText(state->text);
    m_caret = state->caret;
    m_scrollOffset = state->scrollOffset;
    m_selection = state->selection;
    SetCaretIndex(state->caret);
    Invalidate();
}

void CEditBox::PushUndoState() { m_history.Push(Snapshot()); }
bool CEditBox::CanUndo() { return m_history.CanUndo(); }
bool CEditBox::CanRedo() { return m_history.CanRedo(); }

void CEditBox::Undo()
{
    if (!m_history.CanUndo())
        return;
    Restore(m_history.Undo(Snapshot()));
}

void CEditBox::Redo()
{
    if (!m_history.CanRedo())
        return;
    Restore(m_history.Redo(Snapshot()));
}

// ---- Keys and characters --------------------------------------------------------------

void CEditBox::MoveCaretByKey(int32_t virtualKey, bool shiftDown)
{
    BeginShiftSelection(shiftDown);
    switch (virtualKey) {
    case VK_LEFT: SetCaretScrollingLeft(m_caret - 1); break;
    case VK_RIGHT: SetCaretScrollingRight(m_caret + 1); break;
    case VK_HOME: SetCaretScrollingLeft(0); break;
    default: SetCaretScrollingRight(TextLength()); break;
    }
    UpdateShiftSelection(shiftDown);
}

void CEditBox::RunCtrlShortcut(int32_t virtualKey)
{
    switch (virtualKey) {
    case 'A': SelectAll(); break;
    case 'C': Copy(); break;
    case 'V': Paste(); break;
    case 'X': Cut(); break;
    case 'Y': Redo(); break;
    case 'Z': Undo(); break;
    default: break;
    }
    Invalidate();
}

void CEditBox::OnKeyDown(int32_t virtualKey)
{
    CUIWindow::OnKeyDown(virtualKey);
    if (!IsVisibleInTree())
        return;
    const tagModifierKeys keys = ReadModifierKeys(GetDriver());
    switch (virtualKey) {
    case VK_BACK: Backspace(); break;
    case VK_DELETE: Delete(); break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END: MoveCaretByKey(virtualKey, keys.shift); break;
    default: break;
    }
    if (keys.CtrlOnly())
        RunCtrlShortcut(virtualKey);
}

void CEditBox::OnChar(wchar_t character)
{
    CUIWindow::OnChar(character);
    if (IsVisibleInTree() && InsertChar(character))
        RaiseTextChanged();
}

// ---- Mouse ------------------------------------------------------------------------------

bool CEditBox::CanTakeMouse(int32_t x, int32_t y, bool* continueRouting)
{
    return (continueRouting == nullptr || *continueRouting) && HitTest(x, y);
}

void CEditBox::HitTestChar(int32_t textX)
{
    const int32_t length = TextLength();
    int32_t best = 0;
    int32_t bestDistance = -1;
    for (int32_t i = 0; i <= length; ++i) {
        const int32_t distance = std::abs(WidthTo(i) - textX);
        if (bestDistance < 0 || distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    SetCaretIndex(best);
}

void CEditBox::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
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
    if (IsFocusWindow()) {
        ClearSelection();
    } else {
        if (GetUISystem() != nullptr)
            GetUISystem()->SetFocus(AsWindow());
        SelectAll();
    }
    HitTestChar(x - GetAnchoredX() - m_scrollOffset);
    if (continueRouting != nullptr)
        *continueRouting = false;
}

// Moves and the release follow a drag that began in the box wherever the
// pointer goes (the box holds the capture meanwhile).
void CEditBox::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnMouseMove(x, y, continueRouting);
    if (!m_mouseSelecting || (continueRouting != nullptr && !*continueRouting))
        return;
    if (!m_selection.active)
        m_selection.StartAt(m_caret);
    HitTestChar(x - GetAnchoredX() - m_scrollOffset);
    m_selection.MoveActiveEnd(m_caret);
    Invalidate();
}

void CEditBox::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
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
        *continueRouting = false;
    m_mouseSelecting = false;
    Invalidate();
}

void CEditBox::OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnLButtonDblClk(x, y, continueRouting);
    if (!CanTakeMouse(x, y, continueRouting))
        return;
    SelectAll();
    m_afterDoubleClick = true;
}

void CEditBox::OnRButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnRButtonDown(x, y, continueRouting);
    if (!CanTakeMouse(x, y, continueRouting))
        return;
    if (!IsFocusWindow() && GetUISystem() != nullptr)
        GetUISystem()->SetFocus(AsWindow());
    if (continueRouting != nullptr)
        *continueRouting = false;
}

void CEditBox::OnRButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnRButtonUp(x, y, continueRouting);
    if (!CanTakeMouse(x, y, continueRouting))
        return;
    if (continueRouting != nullptr)
        *continueRouting = false;
    IFrameManager* manager = IFrameManager_GetInstance();
    if (manager == nullptr)
        return;
    tagFrameManagerEditBoxContextMenuEventArgs args;
    args.frame = Common::TIntrusivePointer<IFrame>(GetDriver() != nullptr ? GetDriver()->GetFrame() : nullptr);
    args.editBox = this;
    args.x = x;
    args.y = y;
    manager->Fire(FRAME_MANAGER_EVENT_EDIT_BOX_CONTEXT_MENU, manager, &args);
}

void CEditBox::OnMouseWheel(int32_t steps)
{
    if (!IsVisible() || !IsEnabled())
        return;
    tagWindowMouseWheelEventArgs args;
    args.steps = steps;
    Fire(kEditBoxMouseWheelEvent, AsWindow(), &args);
    CUIWindow::OnMouseWheel(steps);
}

// ---- Painting, ticks and visibility ---------------------------------------------------------

void CEditBox::OnPaint()
{
    if (!IsVisible() || GetDriver() == nullptr)
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    if (IsFocusWindow() && m_selection.active) {
        int32_t selectionX = WidthTo(m_selection.start);
        int32_t selectionWidth = MeasureTextRange(m_selection.start, m_selection.end);
        if (selectionWidth > 0) {
            selectionX -= 1;
            selectionWidth += 2;
        }
        GetDriver()->FillRect(x + m_scrollOffset + selectionX, y, selectionWidth, GetHeight(), m_selectColor);
    }
    GetDriver()->DrawText(TitleFont(), ShownText(0, TextLength()).c_str(), GetTitleColor(), x + m_scrollOffset,
                          y + (GetHeight() - FontHeight()) / 2);
    m_caretView.Draw(x, y);
}

void CEditBox::OnFrameMove(int32_t elapsedMs)
{
    CUIWindow::OnFrameMove(elapsedMs);
    m_caretView.Update(static_cast<uint32_t>(elapsedMs));
}

void CEditBox::OnHideTree()
{
    CUIWindow::OnHideTree();
    m_caretView.Hide();
}

void CEditBox::OnShowTree()
{
    CUIWindow::OnShowTree();
    if (IsVisible())
        UpdateCaret();
}

// ---- Window operations ------------------------------------------------------------------------

void CEditBox::ResetBackgroundImage() {}

void CEditBox::Disable()
{
    CUIWindow::Disable();
    if (IsFocusWindow())
        GetUISystem()->SetFocus(nullptr);
}

bool CEditBox::IsFocusable() { return IsEnabled(); }

void CEditBox::SetFocus(bool frameRefocused)
{
    CUIWindow::SetFocus(frameRefocused);
    if (!frameRefocused)
        SelectAll();
    UpdateCaret();
    Invalidate();
}

void CEditBox::KillFocus()
{
    CUIWindow::KillFocus();
    m_caretView.Hide();
    Invalidate();
}

void CEditBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_password = element->GetAttributeBool(L"Password");
    m_numberOnly = element->GetAttributeBool(L"NumberOnly");
    if (element->HasAttribute(L"CharLimit"))
        SetCharLimit(element->GetAttributeInt(L"CharLimit"));
    if (element->HasAttribute(L"SelectColor"))
        m_selectColor = ParseUIColor(element->GetAttribute(L"SelectColor"));
    if (element->HasAttribute(L"CaretColor"))
        m_caretColor = ParseUIColor(element->GetAttribute(L"CaretColor"));
    Invalidate();
}

void CEditBox::SetTitle(const wchar_t* title)
{
    m_history.Clear();
    CUIWindow::SetTitle(title);
    m_scrollOffset = 0;
    SetCaretScrollingRight(TextLength());
    ClearSelection();
    Invalidate();
}

// ---- Settings ------------------------------------------------------------------------------------

void CEditBox::SetPassword(bool password)
{
    m_password = password;
    Invalidate();
}

bool CEditBox::GetPassword() { return m_password; }
void CEditBox::SetCharLimit(int32_t limit) { m_charLimit = ClampCharLimit(limit); }
int32_t CEditBox::GetCharLimit() { return m_charLimit; }
void CEditBox::SetNumberOnly(bool numberOnly) { m_numberOnly = numberOnly; }
bool CEditBox::GetNumberOnly() { return m_numberOnly; }
void CEditBox::SetSelectColor(tagColor color) { m_selectColor = color; }
tagColor CEditBox::GetSelectColor() { return m_selectColor; }
void CEditBox::SetCaretColor(tagColor color) { m_caretColor = color; }
tagColor CEditBox::GetCaretColor() { return m_caretColor; }

} // namespace DirectUI
} // namespace RVGameEngine
