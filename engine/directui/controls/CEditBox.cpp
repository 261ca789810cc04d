#include "engine/directui/controls/CEditBox.h"

#include "engine/directui/controls/TextInputRules.h"
#include "engine/directui/frame/CFrameManager.h"
#include "engine/directui/uisystem/WindowEventArgs.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <windows.h>

#include <algorithm>
#include <map>

namespace RVGameEngine {
namespace DirectUI {

// ---- Text, measuring and focus -------------------------------------------------

int32_t CEditBox::TextLength()
{
    return static_cast<int32_t>(wcslen(GetTitle()));
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
    GetDriver()->MeasureText(TitleFontIndex(), ShownText(from, to).c_str(), &width, &height);
    return width;
}

int32_t CEditBox::FontHeight()
{
    if (GetDriver() == nullptr)
        return 0;
    int32_t width = 0, height = 0;
    GetDriver()->MeasureText(TitleFontIndex(), L"|", &width, &height);
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
    ShowCaret(m_scrollOffset + WidthTo(m_caret), 0, 1, GetHeight());
}

// ---- Selection ----------------------------------------------------------------------

void CEditBox::SelectAll()
{
    m_selection.SelectAll(TextLength());
    SetCaretScrollingRight(TextLength());
    Invalidate();
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

// The nearest caret position, the later one when two are as near. Positions
// are the widths of the shown prefixes, measured as the caret is drawn:
// character widths added up drift from them where the font's advances are
// fractional. Prefix widths grow with the index, so a binary search finds
// the place with a few measures however long the text is.
void CEditBox::MoveCaretToPoint(int32_t x, int32_t)
{
    const int32_t textX = x - GetAnchoredX() - m_scrollOffset;
    const std::wstring shown = ShownText(0, TextLength());
    const int32_t length = static_cast<int32_t>(shown.size());
    std::map<int32_t, int32_t> measured;
    const auto widthTo = [&](int32_t index) {
        const auto found = measured.find(index);
        if (found != measured.end())
            return found->second;
        int32_t width = 0, height = 0;
        if (GetDriver() != nullptr)
            GetDriver()->MeasureText(TitleFontIndex(), shown.substr(0, static_cast<size_t>(index)).c_str(), &width,
                                     &height);
        measured.emplace(index, width);
        return width;
    };
    // The first position at or right of the point (length + 1 when none is).
    int32_t low = 0, high = length + 1;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (widthTo(middle) >= textX)
            high = middle;
        else
            low = middle + 1;
    }
    const int32_t right = low;
    if (right > length) {
        SetCaretIndex(length);
        return;
    }
    if (right > 0 && textX - widthTo(right - 1) < widthTo(right) - textX) {
        SetCaretIndex(right - 1);
        return;
    }
    // Positions as wide as this one (zero-width characters) are as near:
    // the last of them wins.
    int32_t best = right;
    if (best < length && widthTo(best + 1) == widthTo(right)) {
        int32_t last = length;
        while (best < last) {
            const int32_t middle = best + (last - best + 1) / 2;
            if (widthTo(middle) <= widthTo(right))
                best = middle;
            else
                last = middle - 1;
        }
    }
    SetCaretIndex(best);
}

void CEditBox::FocusOnClick()
{
    if (IsFocusWindow()) {
        ClearSelection();
    } else {
        TakeFocus();
        SelectAll();
    }
}

void CEditBox::RaiseContextMenu(int32_t x, int32_t y)
{
    if (CFrameManager* manager = CFrameManager::GetInstance())
        manager->FireEditBoxContextMenu(GetDriver() != nullptr ? GetDriver()->GetFrame() : nullptr, this, x, y);
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
    GetDriver()->DrawText(TitleFontIndex(), ShownText(0, TextLength()).c_str(), GetTitleColor(), x + m_scrollOffset,
                          y + (GetHeight() - FontHeight()) / 2);
    DrawCaret(x, y);
}

// ---- Window operations ------------------------------------------------------------------------

// Focus that moves to the box selects all of it; the frame getting the
// focus back leaves the selection alone.
void CEditBox::OnFocusArrived(bool frameRefocused)
{
    if (!frameRefocused)
        SelectAll();
}

void CEditBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_password = element->GetAttributeBool(L"Password");
    m_numberOnly = element->GetAttributeBool(L"NumberOnly");
    LoadEditAttributes(element);
    Invalidate();
}

void CEditBox::SetTitle(const wchar_t* title)
{
    ClearHistory();
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
void CEditBox::SetNumberOnly(bool numberOnly) { m_numberOnly = numberOnly; }
bool CEditBox::GetNumberOnly() { return m_numberOnly; }

} // namespace DirectUI
} // namespace RVGameEngine
