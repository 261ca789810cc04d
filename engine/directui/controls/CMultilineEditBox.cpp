#include "engine/directui/controls/CMultilineEditBox.h"

#include "engine/directui/controls/TextInputRules.h"
#include "engine/directui/frame/CFrameManager.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

// ---- Text, layout and focus -------------------------------------------------------

int32_t CMultilineEditBox::TextLength()
{
    return m_textLength;
}

int32_t CMultilineEditBox::FontHeight()
{
    int32_t width = 0, height = 0;
    m_glyphs.Measure(GetDriver(), TitleFontIndex(), L'|', &width, &height);
    return height;
}

const std::vector<CMultilineEditBox::tagGlyphPlace>& CMultilineEditBox::GetLayout()
{
    const int32_t font = TitleFontIndex();
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
    ShowCaret(place.x, place.y, 1, FontHeight());
}

void CMultilineEditBox::SelectAll()
{
    m_selection.SelectAll(TextLength());
    SetCaretPosition(TextLength());
    Invalidate();
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

// A click focuses the box and clears the selection; it never selects all.
void CMultilineEditBox::FocusOnClick()
{
    TakeFocus();
    ClearSelection();
}

void CMultilineEditBox::MoveCaretToPoint(int32_t x, int32_t y)
{
    SetCaretPosition(HitPoint(x - GetAnchoredX(), y - GetAnchoredY()));
}

void CMultilineEditBox::RaiseContextMenu(int32_t x, int32_t y)
{
    if (CFrameManager* manager = CFrameManager::GetInstance())
        manager->FireMultilineEditBoxContextMenu(GetDriver() != nullptr ? GetDriver()->GetFrame() : nullptr, this, x, y);
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
    const int32_t font = TitleFontIndex();
    const tagColor color = GetTitleColor();
    const std::wstring text = GetTitle();
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t character[2] = {text[i], L'\0'};
        GetDriver()->DrawText(font, character, color, x + layout[i].x, y + layout[i].y);
    }
    DrawCaret(x, y);
}

// ---- Window operations and settings ------------------------------------------------------------------

void CMultilineEditBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    LoadEditAttributes(element);
    Invalidate();
}

void CMultilineEditBox::SetTitle(const wchar_t* title)
{
    ClearHistory();
    ReplaceWholeText(title);
    SetCaretPosition(TextLength());
    ClearSelection();
    Invalidate();
}

} // namespace DirectUI
} // namespace RVGameEngine
