#include "engine/directui/controls/CMultilineEditBox.h"

#include "engine/directui/controls/TextInputRules.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/services/IClipboard.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

CMultilineEditBox::CMultilineEditBox()
{
    m_caretView.SetOwner(AsWindow());
}

// ---- Text, layout and focus -------------------------------------------------------

int32_t CMultilineEditBox::TextLength()
{
    return m_textLength;
}

bool CMultilineEditBox::IsFocusWindow()
{
    IUISystem* system = GetUISystem();
    return system != nullptr && system->GetFocusWindow() == AsWindow();
}

int32_t CMultilineEditBox::TitleFont()
{
    return GetDriver() != nullptr ? GetDriver()->GetFont(GetTitleFont()) : 0;
}

int32_t CMultilineEditBox::FontHeight()
{
    int32_t width = 0, height = 0;
    m_glyphs.Measure(GetDriver(), TitleFont(), L'|', &width, &height);
    return height;
}

const std::vector<CMultilineEditBox::tagGlyphPlace>& CMultilineEditBox::GetLayout()
{
    const int32_t font = TitleFont();
    const int32_t width = GetWidth();
    if (font != m_layoutFont || width != m_layoutWidth || GetDriver() != m_layoutDriver)
        m_layoutDirtyFrom = 0;
    const size_t length = static_cast<size_t>(m_textLength);
    if (m_layoutDirtyFrom > length && m_layout.size() == length + 1)
        return m_layout;
    const size_t valid = std::min(m_layoutDirtyFrom, m_layout.size());
    m_layout.resize(valid);
    int32_t x = 0, y = 0;
    if (valid > 0) {
        x = m_layout[valid - 1].x + m_layout[valid - 1].width;
        y = m_layout[valid - 1].y;
    }
    const wchar_t* text = GetTitle();
    for (size_t i = valid; i <= length; ++i) {
        tagGlyphPlace place{0, 0, 0, 0};
        m_glyphs.Measure(GetDriver(), font, i < length ? text[i] : L'\0', &place.width, &place.height);
        if (x + place.width > width) {
            x = 0;
            y += place.height + 1;
        }
        place.x = x;
        place.y = y;
        m_layout.push_back(place);
        x += place.width;
    }
    m_layoutDirtyFrom = length + 1;
    m_layoutFont = font;
    m_layoutWidth = width;
    m_layoutDriver = GetDriver();
    return m_layout;
}

// ---- Caret and selection ------------------------------------------------------------

void CMultilineEditBox::SetCaretPosition(int32_t index)
{
    m_caret = std::max(0, std::min(index, TextLength()));
    Invalidate();
    UpdateCaret();
}

void CMultilineEditBox::UpdateCaret()
{
    if (!IsFocusWindow())
        return;
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    const tagGlyphPlace& place = layout[std::min(static_cast<size_t>(std::max(m_caret, 0)), layout.size() - 1)];
    m_caretView.Show(place.x, place.y, 1, FontHeight(), m_caretColor);
}

void CMultilineEditBox::SelectAll()
{
    m_selection.SelectAll(TextLength());
    SetCaretPosition(TextLength());
    Invalidate();
}

void CMultilineEditBox::ClearSelection()
{
    m_selection.Clear();
    Invalidate();
}

void CMultilineEditBox::BeginShiftSelection(bool shiftDown)
{
    if (!shiftDown)
        ClearSelection();
    else if (!m_selection.active)
        m_selection.StartAt(m_caret);
}

void CMultilineEditBox::UpdateShiftSelection(bool shiftDown)
{
    if (shiftDown)
        m_selection.MoveActiveEnd(m_caret);
}

// ---- Editing --------------------------------------------------------------------------

void CMultilineEditBox::StoreText(const std::wstring& text, size_t firstChanged)
{
    CUIWindow::SetTitle(text.c_str());
    m_textLength = static_cast<int32_t>(text.size());
    m_layoutDirtyFrom = std::min(m_layoutDirtyFrom, firstChanged);
}

void CMultilineEditBox::InsertAt(int32_t index, wchar_t character)
{
    std::wstring text = GetTitle();
    index = std::max(0, std::min(index, static_cast<int32_t>(text.size())));
    text.insert(static_cast<size_t>(index), 1, character);
    m_textWeight += CharWeight(character);
    StoreText(text, static_cast<size_t>(index));
}

void CMultilineEditBox::EraseAt(int32_t index, int32_t count)
{
    std::wstring text = GetTitle();
    if (index < 0 || index >= static_cast<int32_t>(text.size()) || count <= 0)
        return;
    const std::wstring erased = text.substr(static_cast<size_t>(index), static_cast<size_t>(count));
    text.erase(static_cast<size_t>(index), erased.size());
    m_textWeight -= TextWeight(erased);
    StoreText(text, static_cast<size_t>(index));
}

void CMultilineEditBox::ReplaceWholeText(const wchar_t* text)
{
    CUIWindow::SetTitle(text);
    const std::wstring stored = GetTitle();
    m_textLength = static_cast<int32_t>(stored.size());
    m_textWeight = TextWeight(stored);
    m_layoutDirtyFrom = 0;
}

void CMultilineEditBox::RaiseTextChanged()
{
    tagMultilineEditBoxTextChangedEventArgs args;
    Fire(kMultilineEditBoxTextChangedEvent, static_cast<IMultilineEditBox*>(this), &args);
}

bool CMultilineEditBox::InsertChar(wchar_t character)
{
    if (character < kFirstPrintableChar)
        return false;
    // Unlike the single-line box, a selection about to be replaced is not credited.
    if (CharWeight(character) + m_textWeight > m_charLimit)
        return false;
    PushUndoState();
    if (m_selection.active)
        DeleteSelection();
    InsertAt(m_caret, character);
    SetCaretPosition(m_caret + 1);
    return true;
}

void CMultilineEditBox::DeleteSelection()
{
    if (!m_selection.active)
        return;
    const int32_t start = m_selection.start;
    const int32_t count = m_selection.end - m_selection.start;
    SetCaretPosition(start);
    ClearSelection();
    EraseAt(m_caret, count);
    UpdateCaret();
}

void CMultilineEditBox::Delete()
{
    PushUndoState();
    if (m_selection.active) {
        DeleteSelection();
    } else if (m_caret >= 0 && m_caret < TextLength()) {
        EraseAt(m_caret, 1);
        UpdateCaret();
    }
    RaiseTextChanged();
}

void CMultilineEditBox::Backspace()
{
    PushUndoState();
    if (m_selection.active) {
        DeleteSelection();
    } else if (m_caret > 0) {
        EraseAt(m_caret - 1, 1);
        SetCaretPosition(m_caret - 1);
    }
    RaiseTextChanged();
}

void CMultilineEditBox::Cut()
{
    if (!m_selection.active)
        return;
    Copy();
    Delete();
}

void CMultilineEditBox::Copy()
{
    if (!m_selection.active) {
        IClipboard_GetInstance()->SetText(L"");
        return;
    }
    const std::wstring text = GetTitle();
    IClipboard_GetInstance()->SetText(
        text.substr(static_cast<size_t>(m_selection.start), static_cast<size_t>(m_selection.end - m_selection.start))
            .c_str());
}

void CMultilineEditBox::Paste()
{
    PushUndoState();
    Common::TIntrusivePointer<Common::IString> pasted = IClipboard_GetInstance()->GetText();
    const std::wstring characters = pasted.IsNull() ? std::wstring() : std::wstring(pasted->GetUtf16());
    if (m_selection.active)
        DeleteSelection();
    for (wchar_t character : characters)
        OnChar(character);
}

// ---- Undo and redo ------------------------------------------------------------------------

CMultilineEditBox::StatePointer CMultilineEditBox::Snapshot()
{
    StatePointer state(new tagMultilineEditBoxState());
    state->text = GetTitle();
    state->caret = m_caret;
    state->selection = m_selection;
    return state;
}

void CMultilineEditBox::Restore(const StatePointer& state)
{
    ReplaceWholeText(state->text.c_str());
    m_selection = state->selection;
    SetCaretPosition(state->caret);
    Invalidate();
}

void CMultilineEditBox::PushUndoState() { m_history.Push(Snapshot()); }
bool CMultilineEditBox::CanUndo() { return m_history.CanUndo(); }
bool CMultilineEditBox::CanRedo() { return m_history.CanRedo(); }

void CMultilineEditBox::Undo()
{
    if (m_history.CanUndo())
        Restore(m_history.Undo(Snapshot()));
}

void CMultilineEditBox::Redo()
{
    if (m_history.CanRedo())
        Restore(m_history.Redo(Snapshot()));
}

// ---- Keys ------------------------------------------------------------------------------------

// Up finds the closest position on the lines above (the later one on a
// tie), Down on the lines below (the earlier one on a tie).
int32_t CMultilineEditBox::NearestOnOtherLine(bool above)
{
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    const tagGlyphPlace& caret = layout[static_cast<size_t>(m_caret)];
    int32_t best = kNoTarget;
    int32_t bestDistance = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (above ? layout[i].y >= caret.y : layout[i].y <= caret.y)
            continue;
        const int32_t distance = std::abs(layout[i].x - caret.x);
        if (best == kNoTarget || distance < bestDistance || (above && distance == bestDistance)) {
            best = static_cast<int32_t>(i);
            bestDistance = distance;
        }
    }
    return best;
}

int32_t CMultilineEditBox::LineStart()
{
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    const int32_t lineY = layout[static_cast<size_t>(m_caret)].y;
    int32_t best = kNoTarget;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].y == lineY && (best == kNoTarget || layout[i].x < layout[static_cast<size_t>(best)].x))
            best = static_cast<int32_t>(i);
    }
    return best;
}

// The first position of the caret's line with the largest x above 0: on a
// wrapped line the caret stands before its last character.
int32_t CMultilineEditBox::LineEnd()
{
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    const int32_t lineY = layout[static_cast<size_t>(m_caret)].y;
    int32_t best = kNoTarget;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].y == lineY && layout[i].x > 0 &&
            (best == kNoTarget || layout[i].x > layout[static_cast<size_t>(best)].x))
            best = static_cast<int32_t>(i);
    }
    return best;
}

int32_t CMultilineEditBox::KeyTarget(int32_t virtualKey, bool ctrlDown)
{
    switch (virtualKey) {
    case VK_LEFT: return m_caret - 1;
    case VK_RIGHT: return m_caret + 1;
    case VK_UP: return NearestOnOtherLine(true);
    case VK_DOWN: return NearestOnOtherLine(false);
    case VK_HOME: return ctrlDown ? 0 : LineStart();
    case VK_END: return ctrlDown ? TextLength() : LineEnd();
    default: return kNoTarget;
    }
}

void CMultilineEditBox::RunCtrlShortcut(int32_t virtualKey)
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

void CMultilineEditBox::OnKeyDown(int32_t virtualKey)
{
    CUIWindow::OnKeyDown(virtualKey);
    const tagModifierKeys keys = ReadModifierKeys(GetDriver());
    if (virtualKey == VK_BACK) {
        Backspace();
    } else if (virtualKey == VK_DELETE) {
        Delete();
    } else {
        const int32_t target = KeyTarget(virtualKey, keys.ctrl);
        // A move without a target changes nothing, not even the selection.
        if (target != kNoTarget) {
            BeginShiftSelection(keys.shift);
            SetCaretPosition(target);
            UpdateShiftSelection(keys.shift);
        }
    }
    if (keys.CtrlOnly())
        RunCtrlShortcut(virtualKey);
}

void CMultilineEditBox::OnChar(wchar_t character)
{
    CUIWindow::OnChar(character);
    if (InsertChar(character))
        RaiseTextChanged();
}

// ---- Mouse ---------------------------------------------------------------------------------------

bool CMultilineEditBox::CanTakeMouse(int32_t x, int32_t y, bool* continueRouting)
{
    return (continueRouting == nullptr || *continueRouting) && HitTest(x, y);
}

int32_t CMultilineEditBox::HitPoint(int32_t px, int32_t py)
{
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    const int32_t fontHeight = FontHeight();
    int32_t best = kNoTarget;
    int32_t bestDistance = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (py < layout[i].y || py > layout[i].y + fontHeight)
            continue;
        const int32_t distance = std::abs(layout[i].x - px);
        if (best == kNoTarget || distance <= bestDistance) {
            best = static_cast<int32_t>(i);
            bestDistance = distance;
        }
    }
    if (best != kNoTarget)
        return best;
    return px < 1 || py < 1 ? 0 : TextLength();
}

void CMultilineEditBox::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
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
    if (GetUISystem() != nullptr)
        GetUISystem()->SetFocus(AsWindow());
    ClearSelection();
    SetCaretPosition(HitPoint(x - GetAnchoredX(), y - GetAnchoredY()));
    if (continueRouting != nullptr)
        *continueRouting = false;
}

// Moves and the release follow a drag that began in the box wherever the
// pointer goes (the box holds the capture meanwhile).
void CMultilineEditBox::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnMouseMove(x, y, continueRouting);
    if (!m_mouseSelecting || (continueRouting != nullptr && !*continueRouting))
        return;
    if (!m_selection.active)
        m_selection.StartAt(m_caret);
    SetCaretPosition(HitPoint(x - GetAnchoredX(), y - GetAnchoredY()));
    m_selection.MoveActiveEnd(m_caret);
    Invalidate();
}

void CMultilineEditBox::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
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

void CMultilineEditBox::OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnLButtonDblClk(x, y, continueRouting);
    if (!CanTakeMouse(x, y, continueRouting))
        return;
    SelectAll();
    m_afterDoubleClick = true;
}

void CMultilineEditBox::OnRButtonDown(int32_t x, int32_t y, bool* continueRouting)
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

void CMultilineEditBox::OnRButtonUp(int32_t x, int32_t y, bool* continueRouting)
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
    tagFrameManagerMultilineEditBoxContextMenuEventArgs args;
    args.frame = Common::TIntrusivePointer<IFrame>(GetDriver() != nullptr ? GetDriver()->GetFrame() : nullptr);
    args.editBox = this;
    args.x = x;
    args.y = y;
    manager->Fire(FRAME_MANAGER_EVENT_MULTILINE_EDIT_BOX_CONTEXT_MENU, manager, &args);
}

// ---- Painting, ticks and visibility ------------------------------------------------------------------

void CMultilineEditBox::OnPaint()
{
    if (!IsVisible() || GetDriver() == nullptr)
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    const std::vector<tagGlyphPlace>& layout = GetLayout();
    if (IsFocusWindow() && m_selection.active) {
        const int32_t end = std::min(m_selection.end, static_cast<int32_t>(layout.size()) - 1);
        for (int32_t i = std::max(0, m_selection.start); i < end; ++i) {
            const tagGlyphPlace& place = layout[static_cast<size_t>(i)];
            GetDriver()->FillRect(x + place.x - 1, y + place.y, place.width + 2, place.height + 1, m_selectColor);
        }
    }
    const int32_t font = TitleFont();
    const tagColor color = GetTitleColor();
    const std::wstring text = GetTitle();
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t character[2] = {text[i], L'\0'};
        GetDriver()->DrawText(font, character, color, x + layout[i].x, y + layout[i].y);
    }
    m_caretView.Draw(x, y);
}

void CMultilineEditBox::OnFrameMove(int32_t elapsedMs)
{
    CUIWindow::OnFrameMove(elapsedMs);
    m_caretView.Update(static_cast<uint32_t>(elapsedMs));
}

void CMultilineEditBox::OnHideTree()
{
    CUIWindow::OnHideTree();
    m_caretView.Hide();
}

void CMultilineEditBox::OnShowTree()
{
    CUIWindow::OnShowTree();
    if (IsVisible())
        UpdateCaret();
}

// ---- Window operations and settings ------------------------------------------------------------------

void CMultilineEditBox::ResetBackgroundImage() {}

void CMultilineEditBox::Disable()
{
    CUIWindow::Disable();
    if (IsFocusWindow())
        GetUISystem()->SetFocus(nullptr);
}

bool CMultilineEditBox::IsFocusable() { return IsEnabled(); }

void CMultilineEditBox::SetFocus(bool frameRefocused)
{
    CUIWindow::SetFocus(frameRefocused);
    UpdateCaret();
    Invalidate();
}

void CMultilineEditBox::KillFocus()
{
    CUIWindow::KillFocus();
    m_caretView.Hide();
    Invalidate();
}

void CMultilineEditBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    if (element->HasAttribute(L"CharLimit"))
        SetCharLimit(element->GetAttributeInt(L"CharLimit"));
    if (element->HasAttribute(L"SelectColor"))
        m_selectColor = ParseUIColor(element->GetAttribute(L"SelectColor"));
    if (element->HasAttribute(L"CaretColor"))
        m_caretColor = ParseUIColor(element->GetAttribute(L"CaretColor"));
    Invalidate();
}

void CMultilineEditBox::SetTitle(const wchar_t* title)
{
    m_history.Clear();
    ReplaceWholeText(title);
    SetCaretPosition(TextLength());
    ClearSelection();
    Invalidate();
}

void CMultilineEditBox::SetCharLimit(int32_t limit) { m_charLimit = ClampCharLimit(limit); }
int32_t CMultilineEditBox::GetCharLimit() { return m_charLimit; }
void CMultilineEditBox::SetSelectColor(tagColor color) { m_selectColor = color; }
tagColor CMultilineEditBox::GetSelectColor() { return m_selectColor; }
void CMultilineEditBox::SetCaretColor(tagColor color) { m_caretColor = color; }
tagColor CMultilineEditBox::GetCaretColor() { return m_caretColor; }

} // namespace DirectUI
} // namespace RVGameEngine
