#include "engine/directui/controls/CHotKeyBox.h"

#include "engine/directui/controls/TextInputRules.h"

#include <windows.h>

#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// Shown when there is no hot key.
const wchar_t kNoHotKeyText[] = L"\x65E0";

struct tagKeyName
{
    uint32_t virtualKey;
    const wchar_t* name;
};

const tagKeyName kNamedKeys[] = {
    {VK_BACK, L"Backspace"}, {VK_RETURN, L"Enter"},  {VK_SPACE, L"Space"},    {VK_PRIOR, L"PageUp"},
    {VK_NEXT, L"PageDown"},  {VK_END, L"End"},       {VK_HOME, L"Home"},      {VK_LEFT, L"Left"},
    {VK_UP, L"Up"},          {VK_RIGHT, L"Right"},   {VK_DOWN, L"Down"},      {VK_INSERT, L"Insert"},
    {VK_DELETE, L"Delete"},  {VK_NUMLOCK, L"NumLock"}, {VK_MULTIPLY, L"Num*"}, {VK_ADD, L"Num+"},
    {VK_SUBTRACT, L"Num-"},  {VK_DECIMAL, L"Num."},  {VK_DIVIDE, L"Num/"},    {VK_OEM_1, L";"},
    {VK_OEM_PLUS, L"="},     {VK_OEM_COMMA, L"<"},   {VK_OEM_MINUS, L"-"},    {VK_OEM_PERIOD, L">"},
    {VK_OEM_2, L"/"},        {VK_OEM_3, L"~"},       {VK_OEM_4, L"["},        {VK_OEM_5, L"\\"},
    {VK_OEM_6, L"]"},        {VK_OEM_7, L"\""},
};

} // namespace

std::wstring CHotKeyBox::KeyName(uint32_t virtualKey)
{
    wchar_t text[8] = {};
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return std::wstring(1, static_cast<wchar_t>(virtualKey));
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) {
        swprintf(text, 8, L"Num%u", virtualKey - VK_NUMPAD0);
        return text;
    }
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12) {
        swprintf(text, 8, L"F%u", virtualKey - VK_F1 + 1);
        return text;
    }
    for (const tagKeyName& named : kNamedKeys) {
        if (named.virtualKey == virtualKey)
            return named.name;
    }
    return std::wstring();
}

std::wstring CHotKeyBox::HotKeyText(uint32_t modifiers, uint32_t virtualKey)
{
    const std::wstring name = KeyName(virtualKey);
    if (name.empty())
        return kNoHotKeyText;
    std::wstring text;
    if (modifiers & kHotKeyCtrl)
        text += L"Ctrl + ";
    if (modifiers & kHotKeyAlt)
        text += L"Alt + ";
    if (modifiers & kHotKeyShift)
        text += L"Shift + ";
    return text + name;
}

// ---- Hot key ------------------------------------------------------------------------

void CHotKeyBox::SetHotKey(uint32_t modifiers, uint32_t key)
{
    SetTitle(HotKeyText(modifiers, key).c_str());
    m_modifiers = modifiers;
    m_key = key;
}

void CHotKeyBox::SetModifiers(uint32_t modifiers) { SetHotKey(modifiers, m_key); }
uint32_t CHotKeyBox::GetModifiers() { return m_modifiers; }
void CHotKeyBox::SetKey(uint32_t key) { SetHotKey(m_modifiers, key); }
uint32_t CHotKeyBox::GetKey() { return m_key; }
void CHotKeyBox::SetCaretColor(tagColor color) { m_caretColor = color; }
tagColor CHotKeyBox::GetCaretColor() { return m_caretColor; }

bool CHotKeyBox::MayChangeTo(uint32_t modifiers, uint32_t key)
{
    tagHotKeyBoxTextChangingEventArgs args;
    args.modifiers = modifiers;
    args.key = key;
    Fire(kHotKeyBoxTextChangingEvent, static_cast<IHotKeyBox*>(this), &args);
    return !args.cancel;
}

void CHotKeyBox::OnKeyDown(int32_t virtualKey)
{
    CUIWindow::OnKeyDown(virtualKey);
    if (!IsVisibleInTree())
        return;
    const tagModifierKeys keys = ReadModifierKeys(GetDriver());
    const uint32_t key = static_cast<uint32_t>(virtualKey);
    const bool plain = !keys.ctrl && !keys.shift && !keys.alt;
    if (plain && (key == VK_ESCAPE || key == VK_BACK || key == VK_DELETE)) {
        SetHotKey(0, 0);
    } else if (!KeyName(key).empty()) {
        const uint32_t modifiers =
            (keys.ctrl ? kHotKeyCtrl : 0) | (keys.shift ? kHotKeyShift : 0) | (keys.alt ? kHotKeyAlt : 0);
        if (MayChangeTo(modifiers, key))
            SetHotKey(modifiers, key);
    }
    tagHotKeyBoxTextChangedEventArgs args;
    Fire(kHotKeyBoxTextChangedEvent, static_cast<IHotKeyBox*>(this), &args);
}

// ---- Caret, focus and mouse ----------------------------------------------------------------

int32_t CHotKeyBox::MeasureWidth(const std::wstring& text, int32_t* height)
{
    int32_t width = 0;
    *height = 0;
    if (GetDriver() != nullptr)
        GetDriver()->MeasureText(TitleFontIndex(), text.c_str(), &width, height);
    return width;
}

void CHotKeyBox::UpdateCaret()
{
    if (!IsVisibleInTree() || !IsFocusWindow())
        return;
    int32_t height = 0;
    const int32_t x = MeasureWidth(std::wstring(GetTitle(), static_cast<size_t>(m_caret)), &height);
    ShowCaret(x, 0, 1, GetHeight());
}

void CHotKeyBox::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnLButtonDown(x, y, continueRouting);
    if ((continueRouting != nullptr && !*continueRouting) || !HitTest(x, y))
        return;
    CaptureMouse();
    TakeFocus();
    if (continueRouting != nullptr)
        *continueRouting = false;
}

void CHotKeyBox::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnLButtonUp(x, y, continueRouting);
    if (continueRouting != nullptr && !*continueRouting)
        return;
    ReleaseMouse();
    Invalidate();
}

// ---- Painting, ticks and visibility ------------------------------------------------------------

void CHotKeyBox::OnPaint()
{
    if (!IsVisible() || GetDriver() == nullptr)
        return;
    int32_t fontHeight = 0;
    MeasureWidth(L"|", &fontHeight);
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    GetDriver()->DrawText(TitleFontIndex(), GetTitle(), GetTitleColor(), x, y + (GetHeight() - fontHeight) / 2);
    DrawCaret(x, y);
}

// ---- Window operations -------------------------------------------------------------------------

void CHotKeyBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    // A description's title never shows: the box shows its hot key.
    SetHotKey(m_modifiers, m_key);
    LoadCaretColor(element);
}

void CHotKeyBox::SetTitle(const wchar_t* title)
{
    CUIWindow::SetTitle(title);
    m_caret = static_cast<int32_t>(wcslen(GetTitle()));
    Invalidate();
    UpdateCaret();
}

} // namespace DirectUI
} // namespace RVGameEngine
