#include "engine/directui/uisystem/CUIWindow.h"

#include "engine/common/base/ModuleName.h"
#include "engine/common/base/StringFunctions.h"
#include "engine/directui/uisystem/IUIStatisticsManager.h"
#include "engine/directui/uisystem/CUISystem.h"

#include <cwchar>

// The window base: its life, geometry, visibility and the plain data
// (names, titles, tags, values). The tree, input and painting have files of
// their own (CUIWindowTree, CUIWindowInput, CUIWindowPaint).

namespace RVGameEngine {
namespace DirectUI {

namespace {

// As much of a frame title as the frame itself reads.
constexpr int kFrameTitleLength = 1000;

int32_t LeadingNumber(const wchar_t* text)
{
    return text != nullptr ? static_cast<int32_t>(wcstol(text, nullptr, 10)) : 0;
}

std::wstring NumberText(int32_t value)
{
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%d", value);
    return buffer;
}

} // namespace

CUIWindow::CUIWindow() = default;

CUIWindow::~CUIWindow()
{
    CUIWindow::ResetBackgroundImage();
    // Children that outlive us (held elsewhere) must not reach back.
    for (Common::TIntrusivePointer<CUIWindow>& child : m_children) {
        if (!child.IsNull() && child->m_parent == this)
            child->m_parent = nullptr;
    }
}

const wchar_t* CUIWindow::OrEmpty(const wchar_t* text)
{
    return text != nullptr ? text : L"";
}

CUISystem* CUIWindow::AsCUISystem(IUISystem* system)
{
    return system != nullptr ? dynamic_cast<CUISystem*>(system) : nullptr;
}

void CUIWindow::tagTag::SetText(const wchar_t* value)
{
    text = OrEmpty(value);
    number = LeadingNumber(text.c_str());
}

void CUIWindow::tagTag::SetNumber(int32_t value)
{
    number = value;
    text = NumberText(value);
}

CUIWindow* CUIWindow::AsCUIWindow(IUIWindow* window)
{
    return window != nullptr ? dynamic_cast<CUIWindow*>(window) : nullptr;
}

void CUIWindow::RecordClickStatistics()
{
    IUIStatisticsManager* statistics = IUIStatisticsManager_GetInstance();
    if (statistics == nullptr)
        return;
    const bool onFrame = m_driver != nullptr && m_driver->GetFrame() != nullptr;
    std::wstring key = OrEmpty(Common::GetModuleName());
    key += L":";
    key += onFrame ? FrameTitle() : L"Device";
    key += L":";
    key += GetFullName();
    statistics->Record(key.c_str());
}

// A frame's title is its window's text (empty before the window exists).
std::wstring CUIWindow::FrameTitle()
{
    wchar_t buffer[kFrameTitleLength] = {};
    if (HWND window = m_driver->GetFrameHandle())
        GetWindowTextW(window, buffer, kFrameTitleLength);
    return buffer;
}

void CUIWindow::SetTypeName(const wchar_t* typeName)
{
    m_typeName = OrEmpty(typeName);
}

const wchar_t* CUIWindow::GetTypeName()
{
    return m_typeName.c_str();
}

void CUIWindow::SetRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    OnRectChanged();
}

void CUIWindow::CenterInParent()
{
    if (m_parent == nullptr)
        return;
    m_x = (m_parent->GetWidth() - m_width) / 2;
    m_y = (m_parent->GetHeight() - m_height) / 2;
}

void CUIWindow::SetX(int32_t x) { SetRect(x, m_y, m_width, m_height); }
void CUIWindow::SetY(int32_t y) { SetRect(m_x, y, m_width, m_height); }
void CUIWindow::SetWidth(int32_t width) { SetRect(m_x, m_y, width, m_height); }
void CUIWindow::SetHeight(int32_t height) { SetRect(m_x, m_y, m_width, height); }
int32_t CUIWindow::GetX() { return m_x; }
int32_t CUIWindow::GetY() { return m_y; }
int32_t CUIWindow::GetWidth() { return m_width; }
int32_t CUIWindow::GetHeight() { return m_height; }

int32_t CUIWindow::GetAnchoredX()
{
    if (m_parent == nullptr)
        return m_x;
    const int32_t column = (m_anchorMode >= 0 && m_anchorMode <= 8) ? m_anchorMode % 3 : 0;
    int32_t x = m_parent->GetAnchoredX() + m_x;
    if (column == 1)
        x += m_parent->GetWidth() / 2;
    else if (column == 2)
        x += m_parent->GetWidth();
    return x;
}

int32_t CUIWindow::GetAnchoredY()
{
    if (m_parent == nullptr)
        return m_y;
    const int32_t row = (m_anchorMode >= 0 && m_anchorMode <= 8) ? m_anchorMode / 3 : 0;
    int32_t y = m_parent->GetAnchoredY() + m_y;
    if (row == 1)
        y += m_parent->GetHeight() / 2;
    else if (row == 2)
        y += m_parent->GetHeight();
    return y;
}

int32_t CUIWindow::GetAnchorMode() { return m_anchorMode; }

void CUIWindow::SetAnchorMode(int32_t mode)
{
    m_anchorMode = mode;
    OnRectChanged();
}

void CUIWindow::Show()
{
    if (m_visible)
        return;
    m_visible = true;
    OnShowTree();
    Invalidate();
}

void CUIWindow::Hide()
{
    if (!m_visible)
        return;
    m_visible = false;
    OnHideTree();
    InvalidateOnHide();
}

bool CUIWindow::IsVisible() { return m_visible; }

bool CUIWindow::IsVisibleInTree()
{
    if (m_parent == nullptr)
        return IsVisible();
    return m_parent->IsVisibleInTree() && IsVisible();
}

void CUIWindow::Enable()
{
    m_enabled = true;
    Invalidate();
}

void CUIWindow::Disable()
{
    m_enabled = false;
    Invalidate();
}

bool CUIWindow::IsEnabled() { return m_enabled; }
void CUIWindow::SetVisible(bool visible) { visible ? Show() : Hide(); }
bool CUIWindow::GetVisible() { return IsVisible(); }
void CUIWindow::SetEnabled(bool enabled) { enabled ? Enable() : Disable(); }
bool CUIWindow::GetEnabled() { return IsEnabled(); }
void CUIWindow::SetName(const wchar_t* name) { m_name = OrEmpty(name); }
const wchar_t* CUIWindow::GetName() { return m_name.c_str(); }

const wchar_t* CUIWindow::GetFullName()
{
    if (m_parent == nullptr)
        m_fullName = m_name;
    else
        m_fullName = std::wstring(m_parent->GetFullName()) + L"." + m_name;
    return m_fullName.c_str();
}

void CUIWindow::SetAlias(const wchar_t* alias) { m_alias = OrEmpty(alias); }
const wchar_t* CUIWindow::GetAlias() { return m_alias.c_str(); }

void CUIWindow::ResetBackgroundImage()
{
    m_backgroundImage.Reset();
}

void CUIWindow::SetBackgroundImage(IUIImage* image)
{
    m_backgroundImage = Common::TIntrusivePointer<IUIImage>(image);
    Invalidate();
}

IUIImage* CUIWindow::GetBackgroundImage() { return m_backgroundImage.Get(); }
void CUIWindow::SetBackgroundImageColor(tagColor color) { m_backgroundImageColor = color; }
tagColor CUIWindow::GetBackgroundImageColor() { return m_backgroundImageColor; }

void CUIWindow::UpdateShownTitle()
{
    if (m_maxBytesShow <= 0)
        return;
    Common::TIntrusivePointer<Common::IString> cut = Common::CutUnicodeString(m_title.c_str(), m_maxBytesShow);
    m_shownTitle = cut.IsNull() ? m_title : OrEmpty(cut->GetUtf16());
}

void CUIWindow::SetTitle(const wchar_t* title)
{
    const wchar_t* text = OrEmpty(title);
    if (m_title == text)
        return;
    m_title = text;
    UpdateShownTitle();
    Invalidate();
}

const wchar_t* CUIWindow::GetTitle() { return m_title.c_str(); }
void CUIWindow::SetTitleInt(int32_t value) { SetTitle(NumberText(value).c_str()); }
int32_t CUIWindow::GetTitleInt() { return LeadingNumber(m_title.c_str()); }

void CUIWindow::SetTitleAlign(int32_t align)
{
    m_titleAlign = align;
    Invalidate();
}

int32_t CUIWindow::GetTitleAlign() { return m_titleAlign; }

void CUIWindow::SetTitleColor(tagColor color)
{
    m_titleColor = color;
    Invalidate();
}

tagColor CUIWindow::GetTitleColor() { return m_titleColor; }

void CUIWindow::SetTitleFont(const wchar_t* fontName)
{
    m_titleFontName = OrEmpty(fontName);
    if (m_driver != nullptr)
        m_titleFont = m_driver->GetFont(m_titleFontName.c_str());
    Invalidate();
}

const wchar_t* CUIWindow::GetTitleFont() { return m_titleFontName.c_str(); }

void CUIWindow::SetMaxBytesShow(int32_t limit)
{
    m_maxBytesShow = limit;
    UpdateShownTitle();
    Invalidate();
}

int32_t CUIWindow::GetMaxBytesShow() { return m_maxBytesShow; }
void CUIWindow::SetTag(const wchar_t* tag) { m_tag.SetText(tag); }
const wchar_t* CUIWindow::GetTag() { return m_tag.text.c_str(); }
void CUIWindow::SetTagInt(int32_t value) { m_tag.SetNumber(value); }
int32_t CUIWindow::GetTagInt() { return m_tag.number; }
void CUIWindow::SetTag2(const wchar_t* tag) { m_tag2.SetText(tag); }
const wchar_t* CUIWindow::GetTag2() { return m_tag2.text.c_str(); }
void CUIWindow::SetTag2Int(int32_t value) { m_tag2.SetNumber(value); }
int32_t CUIWindow::GetTag2Int() { return m_tag2.number; }
void CUIWindow::SetTag3(const wchar_t* tag) { m_tag3.SetText(tag); }
const wchar_t* CUIWindow::GetTag3() { return m_tag3.text.c_str(); }
void CUIWindow::SetTag3Int(int32_t value) { m_tag3.SetNumber(value); }
int32_t CUIWindow::GetTag3Int() { return m_tag3.number; }
void CUIWindow::SetTag4(const wchar_t* tag) { m_tag4.SetText(tag); }
const wchar_t* CUIWindow::GetTag4() { return m_tag4.text.c_str(); }
void CUIWindow::SetTag4Int(int32_t value) { m_tag4.SetNumber(value); }
int32_t CUIWindow::GetTag4Int() { return m_tag4.number; }
void CUIWindow::SetTag5(const wchar_t* tag) { m_tag5.SetText(tag); }
const wchar_t* CUIWindow::GetTag5() { return m_tag5.text.c_str(); }
void CUIWindow::SetTag5Int(int32_t value) { m_tag5.SetNumber(value); }
int32_t CUIWindow::GetTag5Int() { return m_tag5.number; }
void CUIWindow::SetUserValueA(int32_t value) { m_userValueA = value; }
int32_t CUIWindow::GetUserValueA() { return m_userValueA; }
void CUIWindow::SetUserValueB(int32_t value) { m_userValueB = value; }
int32_t CUIWindow::GetUserValueB() { return m_userValueB; }
void CUIWindow::SetUserValueC(int32_t value) { m_userValueC = value; }
int32_t CUIWindow::GetUserValueC() { return m_userValueC; }

void CUIWindow::SetUserRect(int32_t a, int32_t b, int32_t c, int32_t d)
{
    IUIWindow* self = AsWindow();
    self->SetTag4Int(a);
    self->SetUserValueA(b);
    self->SetUserValueB(c);
    self->SetUserValueC(d);
}

tagUserRect CUIWindow::GetUserRect()
{
    tagUserRect rect;
    rect.tag4 = m_tag4.number;
    rect.userValueA = m_userValueA;
    rect.userValueB = m_userValueB;
    rect.userValueC = m_userValueC;
    return rect;
}

void CUIWindow::SetPenetrable(bool penetrable) { m_penetrable = penetrable; }
bool CUIWindow::IsPenetrable() { return m_penetrable; }
void CUIWindow::SetFrameDrag(bool frameDrag) { m_frameDrag = frameDrag; }
bool CUIWindow::GetFrameDrag() { return m_frameDrag; }
void CUIWindow::SetExtraReactWidth(int32_t width) { m_extraReactWidth = width; }
int32_t CUIWindow::GetExtraReactWidth() { return m_extraReactWidth; }
void CUIWindow::SetCommitsString(bool commits) { m_commitsString = commits; }
bool CUIWindow::GetCommitsString() { return m_commitsString; }

} // namespace DirectUI
} // namespace RVGameEngine
