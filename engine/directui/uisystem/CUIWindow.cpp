#include "engine/directui/uisystem/CUIWindow.h"

#include "engine/common/base/Console.h"
#include "engine/common/base/ModuleName.h"
#include "engine/common/base/StringFunctions.h"
#include "engine/directui/uisystem/CUISystem.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/uisystem/IUIHoverListener.h"
#include "engine/directui/services/IUIStatisticsManager.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/directui/uisystem/WindowEventArgs.h"
#include "engine/directui/controls/IPanel.h"
#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/filesystem/ILogFile.h"

#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr int32_t kAlignmentWordCount = 9;
const wchar_t* const kAlignmentWords[kAlignmentWordCount] = {
    L"TopLeft",    L"TopCenter",    L"TopRight",    L"CenterLeft", L"CenterCenter",
    L"CenterRight", L"BottomLeft", L"BottomCenter", L"BottomRight"};

// -1 for a word that is none of the nine.
int32_t AlignmentFromWord(const wchar_t* word)
{
    for (int32_t i = 0; i < kAlignmentWordCount; ++i) {
        if (wcscmp(word, kAlignmentWords[i]) == 0)
            return i;
    }
    return -1;
}

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

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text != nullptr ? text : L"";
}

CUISystem* AsCUISystem(IUISystem* system)
{
    return system != nullptr ? dynamic_cast<CUISystem*>(system) : nullptr;
}

} // namespace

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

CUIWindow* CUIWindow::AsCUIWindow(IUIWindow* window)
{
    return window != nullptr ? dynamic_cast<CUIWindow*>(window) : nullptr;
}

// ---- Tree ------------------------------------------------------------------

void CUIWindow::OnCreated() {}

void CUIWindow::AddChild(IUIWindow* child)
{
    Common::TIntrusivePointer<CUIWindow> added(AsCUIWindow(child));
    if (added.IsNull())
        return;
    // A window inside its own subtree would make every walk of the tree endless.
    for (CUIWindow* ancestor = this; ancestor != nullptr; ancestor = ancestor->m_parent) {
        if (ancestor == added.Get()) {
            FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                                    L"Window %s cannot be added below itself", added->GetName());
            return;
        }
    }
    CUISystem* system = AsCUISystem(m_system);
    const wchar_t* name = added->GetName();
    if (system != nullptr && name[0] != L'\0' && !system->FindRegisteredWindow(name).IsNull())
        Common::ShowEngineDebuggingWarningMessage(L"Window name collision: %s", name);
    added->SetUISystem(m_system);
    added->SetParentWindow(this);
    m_children.push_back(added);
    if (system != nullptr)
        system->RegisterWindowName(added->GetName(), Common::TIntrusivePointer<IUIWindow>(added->AsWindow()));
}

bool CUIWindow::RemoveWindow(IUIWindow* window)
{
    if (window == nullptr)
        return false;
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (child.IsNull())
            continue;
        if (child->RemoveWindow(window))
            return true;
        if (child->AsWindow() != window)
            continue;
        child->DetachFromSystem();
        for (auto it = m_children.begin(); it != m_children.end(); ++it) {
            if (*it == child) {
                m_children.erase(it);
                break;
            }
        }
        child->ForgetParentAndSystem();
        return true;
    }
    return false;
}

void CUIWindow::ForgetParentAndSystem()
{
    m_parent = nullptr;
    SetUISystem(nullptr);
}

void CUIWindow::DetachFromSystem()
{
    CUISystem* system = AsCUISystem(m_system);
    if (system != nullptr)
        system->UnregisterWindowName(m_name.c_str(), AsWindow());
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (!child.IsNull())
            child->DetachFromSystem();
    }
    if (system != nullptr)
        system->ReleaseHoldsOn(AsWindow());
    RemoveAllDelegates();
}

IUIWindow* CUIWindow::GetChild(int32_t index)
{
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    CUIWindow* child = m_children[static_cast<size_t>(index)].Get();
    return child != nullptr ? child->AsWindow() : nullptr;
}

IUIWindow* CUIWindow::FindChild(const wchar_t* name)
{
    const wchar_t* wanted = OrEmpty(name);
    for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
        if (!child.IsNull() && child->m_name == wanted)
            return child->AsWindow();
    }
    return nullptr;
}

IUIWindow* CUIWindow::FindWindow(const wchar_t* name)
{
    const wchar_t* wanted = OrEmpty(name);
    CUISystem* system = AsCUISystem(m_system);
    if (wanted[0] != L'\0' && system != nullptr)
        return system->FindRegisteredWindow(wanted).Get();
    // The empty name (and a window outside any UI system) searches the subtree.
    if (IUIWindow* child = FindChild(wanted))
        return child;
    for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
        if (child.IsNull())
            continue;
        if (IUIWindow* found = child->FindWindow(wanted))
            return found;
    }
    return nullptr;
}

IUIWindow* CUIWindow::FindChildByTag(const wchar_t* tag)
{
    const wchar_t* wanted = OrEmpty(tag);
    for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
        if (!child.IsNull() && child->m_tag.text == wanted)
            return child->AsWindow();
    }
    return nullptr;
}

IUIWindow* CUIWindow::FindWindowByTag(const wchar_t* tag)
{
    if (IUIWindow* child = FindChildByTag(tag))
        return child;
    for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
        if (child.IsNull())
            continue;
        if (IUIWindow* found = child->FindWindowByTag(tag))
            return found;
    }
    return nullptr;
}

void CUIWindow::RemoveAllChildren()
{
    const Children snapshot = m_children;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (!it->IsNull())
            RemoveWindow((*it)->AsWindow());
    }
}

void CUIWindow::BringChildToFront(IUIWindow* child)
{
    // Moved in place: the window keeps its subscriptions and registrations.
    for (size_t i = 0; i + 1 < m_children.size(); ++i) {
        if (!m_children[i].IsNull() && m_children[i]->AsWindow() == child) {
            Common::TIntrusivePointer<CUIWindow> moved = m_children[i];
            m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(i));
            m_children.push_back(moved);
            moved->Invalidate();
            return;
        }
    }
}

void CUIWindow::BringToFront()
{
    if (m_parent != nullptr)
        m_parent->BringChildToFront(AsWindow());
}

int32_t CUIWindow::GetChildCount()
{
    return static_cast<int32_t>(m_children.size());
}

IUIWindow* CUIWindow::GetParent()
{
    return m_parent != nullptr ? m_parent->AsWindow() : nullptr;
}

void CUIWindow::SetParentWindow(IUIWindow* parent)
{
    m_parent = AsCUIWindow(parent);
}

void CUIWindow::SetUISystem(IUISystem* system)
{
    m_system = system;
    m_driver = system != nullptr ? system->GetDriver() : nullptr;
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (!child.IsNull())
            child->SetUISystem(system);
    }
}

IUISystem* CUIWindow::GetUISystem()
{
    return m_system;
}

void CUIWindow::RecordClickStatistics()
{
    IUIStatisticsManager* statistics = IUIStatisticsManager_GetInstance();
    if (statistics == nullptr)
        return;
    IFrame* frame = m_driver != nullptr ? m_driver->GetFrame() : nullptr;
    std::wstring key = OrEmpty(Common::GetModuleName());
    key += L":";
    key += frame != nullptr ? OrEmpty(frame->GetTitle()) : L"Device";
    key += L":";
    key += GetFullName();
    statistics->Record(key.c_str());
}

void CUIWindow::SetTypeName(const wchar_t* typeName)
{
    m_typeName = OrEmpty(typeName);
}

const wchar_t* CUIWindow::GetTypeName()
{
    return m_typeName.c_str();
}

// ---- Geometry ----------------------------------------------------------------

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

bool CUIWindow::HitTest(int32_t x, int32_t y)
{
    return PtInWindow(x, y, GetAnchoredX(), GetAnchoredY(), m_width + m_extraReactWidth, m_height);
}

bool CUIWindow::PtInWindow(int32_t px, int32_t py, int32_t x, int32_t y, int32_t width, int32_t height)
{
    return x <= px && px <= x + width && y <= py && py <= y + height;
}

bool CUIWindow::RectOutside(int32_t ax, int32_t ay, int32_t aw, int32_t ah, int32_t bx, int32_t by, int32_t bw,
                            int32_t bh)
{
    return ax + aw < bx || bx + bw < ax || ay + ah < by || by + bh < ay;
}

bool CUIWindow::IsClippedOut(IUIWindow* window)
{
    if (window == nullptr)
        return true;
    if (m_system == nullptr)
        return false;
    bool enabled = false;
    int32_t x = 0, y = 0, width = 0, height = 0;
    m_system->GetClipRect(&enabled, &x, &y, &width, &height);
    if (!enabled)
        return false;
    return RectOutside(x, y, width, height, window->GetAnchoredX(), window->GetAnchoredY(), window->GetWidth(),
                       window->GetHeight());
}

// ---- Visibility, redraw, focus and capture ----------------------------------

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

void CUIWindow::Invalidate()
{
    if (IsVisibleInTree())
        InvalidateOnHide();
}

void CUIWindow::InvalidateOnHide()
{
    if (m_driver != nullptr)
        m_driver->Invalidate(GetAnchoredX(), GetAnchoredY(), m_width, m_height);
}

void CUIWindow::OnRectChanged()
{
    if (m_parent != nullptr)
        m_parent->Invalidate();
    else if (m_driver != nullptr)
        m_driver->InvalidateAll();
}

void CUIWindow::CaptureMouse()
{
    if (m_system != nullptr)
        m_system->SetCapture(AsWindow());
}

void CUIWindow::ReleaseMouse()
{
    if (m_system != nullptr)
        m_system->ReleaseCapture();
}

bool CUIWindow::IsFocusable() { return false; }

void CUIWindow::SetFocus(bool)
{
    Common::tagEventArgs args;
    Fire(WINDOW_EVENT_FOCUS_GAINED, AsWindow(), &args);
}

void CUIWindow::KillFocus()
{
    Common::tagEventArgs args;
    Fire(WINDOW_EVENT_FOCUS_LOST, AsWindow(), &args);
}

bool CUIWindow::IsClickSuppressed()
{
    return m_system != nullptr && m_system->IsClickSuppressed();
}

// ---- Hover and wheel ---------------------------------------------------------

void CUIWindow::SetHoverListener(IUIHoverListener* listener) { m_hoverListener = listener; }

void CUIWindow::SetHoverWindow(IUIWindow* window)
{
    m_hoverWindow = Common::TIntrusivePointer<IUIWindow>(window);
}

void CUIWindow::SetHoverWindowByName(const wchar_t* name)
{
    IUIWindow* found = nullptr;
    if (m_system != nullptr && m_system->GetRootWindow() != nullptr)
        found = m_system->GetRootWindow()->FindWindow(name);
    SetHoverWindow(found);
    if (found != nullptr)
        found->Hide();
}

void CUIWindow::SetWheelTarget(IUIWindow* window)
{
    m_wheelTarget = Common::TIntrusivePointer<IUIWindow>(window);
}

void CUIWindow::OnMouseEnter(int32_t x, int32_t y)
{
    if (m_hoverListener != nullptr)
        m_hoverListener->OnHoverEnter(AsWindow());
    if (!m_hoverWindow.IsNull())
        m_hoverWindow->Show();
    tagWindowMouseEventArgs args;
    args.x = x;
    args.y = y;
    Fire(WINDOW_EVENT_MOUSE_ENTER, AsWindow(), &args);
}

void CUIWindow::OnMouseLeave(int32_t x, int32_t y)
{
    if (m_hoverListener != nullptr)
        m_hoverListener->OnHoverLeave(AsWindow());
    if (!m_hoverWindow.IsNull())
        m_hoverWindow->Hide();
    tagWindowMouseEventArgs args;
    args.x = x;
    args.y = y;
    Fire(WINDOW_EVENT_MOUSE_LEAVE, AsWindow(), &args);
}

void CUIWindow::OnMouseWheel(int32_t steps)
{
    ForwardWheel(steps);
}

void CUIWindow::ForwardWheel(int32_t steps)
{
    Common::TIntrusivePointer<IUIWindow> target = m_wheelTarget;
    CUIWindow* next = AsCUIWindow(target.Get());
    if (next == nullptr || m_forwardingWheel || next->m_forwardingWheel)
        return;
    m_forwardingWheel = true;
    next->OnMouseWheel(steps);
    m_forwardingWheel = false;
}

// ---- Input routing -------------------------------------------------------------

template <typename Handler>
void CUIWindow::RouteMouse(int32_t eventId, Handler handler, int32_t x, int32_t y, bool* continueRouting,
                           bool hitTest)
{
    if (!m_visible || !m_enabled)
        return;
    bool localFlag = true;
    if (continueRouting == nullptr)
        continueRouting = &localFlag;
    // Handlers may add, remove or reorder windows: visit a snapshot that
    // keeps each child alive, and skip children that left meanwhile.
    const Children snapshot = m_children;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        CUIWindow* child = it->Get();
        if (child != nullptr && child->m_parent == this && child->m_visible && child->m_enabled &&
            (!hitTest || child->HitTest(x, y))) {
            // Most windows have no handler: skip building and firing a record.
            if (child->HasSubscriber(eventId)) {
                tagWindowMouseEventArgs args;
                args.x = x;
                args.y = y;
                child->Fire(eventId, child->AsWindow(), &args);
                if (!args.continueRouting) {
                    *continueRouting = false;
                    return;
                }
            }
            (child->*handler)(x, y, continueRouting);
        }
        if (!*continueRouting)
            return;
    }
}

void CUIWindow::OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_LBUTTON_DBLCLK, &CUIWindow::OnLButtonDblClk, x, y, continueRouting, true);
}

void CUIWindow::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (m_frameDrag && HitTest(x, y)) {
        if (m_driver != nullptr)
            m_driver->BeginWindowDrag();
        return;
    }
    RouteMouse(WINDOW_EVENT_LBUTTON_DOWN, &CUIWindow::OnLButtonDown, x, y, continueRouting, true);
}

void CUIWindow::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_LBUTTON_UP, &CUIWindow::OnLButtonUp, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonDblClk(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_DBLCLK, &CUIWindow::OnRButtonDblClk, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_DOWN, &CUIWindow::OnRButtonDown, x, y, continueRouting, true);
}

void CUIWindow::OnRButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_RBUTTON_UP, &CUIWindow::OnRButtonUp, x, y, continueRouting, true);
}

void CUIWindow::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    RouteMouse(WINDOW_EVENT_MOUSE_MOVE, &CUIWindow::OnMouseMove, x, y, continueRouting, false);
}

void CUIWindow::OnKeyDown(int32_t virtualKey)
{
    tagWindowKeyEventArgs args;
    args.key = virtualKey;
    Fire(WINDOW_EVENT_KEY_DOWN, AsWindow(), &args);
}

void CUIWindow::OnKeyUp(int32_t virtualKey)
{
    tagWindowKeyEventArgs args;
    args.key = virtualKey;
    Fire(WINDOW_EVENT_KEY_UP, AsWindow(), &args);
}

void CUIWindow::OnChar(wchar_t character)
{
    tagWindowCharEventArgs args;
    args.character = character;
    Fire(WINDOW_EVENT_CHAR, AsWindow(), &args);
}

IUIWindow* CUIWindow::WindowFromPoint(int32_t x, int32_t y)
{
    if (!m_visible || !HitTest(x, y))
        return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CUIWindow* child = it->Get();
        if (child == nullptr || !child->m_visible || !child->HitTest(x, y))
            continue;
        if (IUIWindow* found = child->WindowFromPoint(x, y))
            return found;
    }
    if (m_system != nullptr && m_system->IsPickNamedWindows() && !m_name.empty())
        return AsWindow();
    // A bare panel only groups its children: the point goes through it.
    if (m_backgroundImage.IsNull() && dynamic_cast<IPanel*>(this) != nullptr)
        return nullptr;
    if (m_penetrable)
        return nullptr;
    return AsWindow();
}

// ---- Painting and ticks ------------------------------------------------------------

void CUIWindow::OnPaint()
{
    if (!m_visible)
        return;
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    if (!m_backgroundImage.IsNull())
        m_backgroundImage->DrawStretched(x, y, m_width, m_height, m_backgroundImageColor);
    if (!m_controlDrawsTitle)
        DrawTitle(m_titleColor);
    PaintChildren();
    if ((IsRootOrTopLevel() || m_commitsString) && m_driver != nullptr) {
        m_driver->BeginPaint();
        m_driver->EndPaint();
    }
}

void CUIWindow::PaintChildren()
{
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (child.IsNull() || child->m_parent != this || !child->m_visible || IsClippedOut(child->AsWindow()))
            continue;
        if (m_system != nullptr)
            m_system->PushClipRect(true, child->GetAnchoredX(), child->GetAnchoredY(), child->GetWidth(),
                                   child->GetHeight());
        child->OnPaint();
        tagWindowPaintEventArgs args;
        child->Fire(WINDOW_EVENT_PAINT, child->AsWindow(), &args);
        if (m_system != nullptr)
            m_system->PopClipRect();
    }
}

bool CUIWindow::IsRootOrTopLevel()
{
    if (m_system == nullptr)
        return m_parent == nullptr;
    IUIWindow* root = m_system->GetRootWindow();
    return root == AsWindow() || (m_parent != nullptr && root == m_parent->AsWindow());
}

void CUIWindow::DrawTitle(tagColor color)
{
    const std::wstring& text = m_maxBytesShow > 0 ? m_shownTitle : m_title;
    if (text.empty() || m_driver == nullptr)
        return;
    m_driver->DrawText(m_titleFont, text.c_str(), color, GetAnchoredX() + m_titleStartPos, GetAnchoredY(), m_width,
                       m_height, m_titleAlign);
}

void CUIWindow::OnFrameMove(int32_t elapsedMs)
{
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (!child.IsNull() && child->m_parent == this)
            child->OnFrameMove(elapsedMs);
    }
}

void CUIWindow::OnHideTree()
{
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (!child.IsNull())
            child->OnHideTree();
    }
}

void CUIWindow::OnShowTree()
{
    const Children snapshot = m_children;
    for (const Common::TIntrusivePointer<CUIWindow>& child : snapshot) {
        if (!child.IsNull())
            child->OnShowTree();
    }
}

// ---- Names, titles, tags and values --------------------------------------------------

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

// ---- XML -------------------------------------------------------------------------

void CUIWindow::LoadFromXmlFile(const wchar_t* path)
{
    Common::TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    if (!document.IsNull())
        LoadAttributes(document->LoadFromFile(path));
}

void CUIWindow::LoadNameFromXml(Common::IXmlElement* element)
{
    if (element != nullptr)
        SetName(element->GetAttribute(L"Name"));
}

IUIImage* CUIWindow::LoadImageFromXml(Common::IXmlElement* element, const wchar_t* tag)
{
    Common::IXmlElement* imageElement = element != nullptr ? element->FindChildByTagAttribute(tag) : nullptr;
    if (imageElement == nullptr)
        return nullptr;
    const wchar_t* fileName = imageElement->GetAttribute(L"Filename");
    if (fileName[0] == L'\0')
        return nullptr;
    IUIImage* image = IImage_Create(m_system != nullptr ? m_system->GetDriver() : nullptr);
    if (image == nullptr)
        return nullptr;
    image->Load(fileName);
    if (imageElement->HasAttribute(L"X"))
        image->SetSubRect(true, imageElement->GetAttributeInt(L"X"), imageElement->GetAttributeInt(L"Y"),
                          imageElement->GetAttributeInt(L"Width"), imageElement->GetAttributeInt(L"Height"));
    if (imageElement->HasAttribute(L"PX"))
        image->SetDrawPoint(true, imageElement->GetAttributeInt(L"PX"), imageElement->GetAttributeInt(L"PY"));
    return image;
}

void CUIWindow::LoadAttributes(Common::IXmlElement* element)
{
    if (element == nullptr)
        return;
    IUIWindow* self = AsWindow();
    if (element->HasAttribute(L"Name"))
        self->SetName(element->GetAttribute(L"Name"));
    if (element->HasAttribute(L"Alias"))
        self->SetAlias(element->GetAttribute(L"Alias"));
    self->SetTag(element->GetAttribute(L"Tag"));
    self->SetTag2(element->GetAttribute(L"Tag2"));
    self->SetTag3(element->GetAttribute(L"Tag3"));
    self->SetTag4(element->GetAttribute(L"Tag4"));
    self->SetTag5(element->GetAttribute(L"Tag5"));
    // A description giving only a zero Y and Height keeps the rectangle.
    if (element->HasAttribute(L"X") || element->GetAttributeInt(L"Y") != 0 || element->HasAttribute(L"Width") ||
        element->GetAttributeInt(L"Height") != 0)
        self->SetRect(element->GetAttributeInt(L"X"), element->GetAttributeInt(L"Y"),
                      element->GetAttributeInt(L"Width"), element->GetAttributeInt(L"Height"));
    if (element->HasAttribute(L"TitleStartPos"))
        m_titleStartPos = element->GetAttributeInt(L"TitleStartPos");
    self->SetExtraReactWidth(element->GetAttributeInt(L"ExtraReactWidth"));
    if (element->HasAttribute(L"Visible"))
        element->GetAttributeBool(L"Visible") ? self->Show() : self->Hide();
    if (element->HasAttribute(L"Enable"))
        element->GetAttributeBool(L"Enable") ? self->Enable() : self->Disable();
    self->SetPenetrable(element->GetAttributeBool(L"Penetrable"));
    self->SetTitleFont(element->HasAttribute(L"TitleFont") ? element->GetAttribute(L"TitleFont") : L"Default");
    if (element->HasAttribute(L"TitleColor"))
        self->SetTitleColor(ParseUIColor(element->GetAttribute(L"TitleColor")));
    if (element->HasAttribute(L"BackgroundImageColor"))
        self->SetBackgroundImageColor(ParseUIColor(element->GetAttribute(L"BackgroundImageColor")));
    if (element->HasAttribute(L"MaxBytesShow"))
        self->SetMaxBytesShow(element->GetAttributeInt(L"MaxBytesShow"));
    self->SetTitle(element->GetAttribute(L"Title"));

    Common::TIntrusivePointer<IUIImage> smart(LoadImageFromXml(element, L"Smart"));
    if (!smart.IsNull()) {
        self->SetBackgroundImage(smart.Get());
        self->SetWidth(smart->GetImageWidth());
        self->SetHeight(smart->GetImageHeight());
    } else {
        Common::TIntrusivePointer<IUIImage> background(LoadImageFromXml(element, L"Background"));
        self->SetBackgroundImage(background.Get());
    }

    self->SetFrameDrag(element->GetAttributeBool(L"FrameDrag"));
    self->SetCommitsString(element->GetAttributeBool(L"CommitsString"));
    if (element->HasAttribute(L"TitleAlign")) {
        const int32_t align = AlignmentFromWord(element->GetAttribute(L"TitleAlign"));
        if (align >= 0)
            self->SetTitleAlign(align);
    }
    if (element->HasAttribute(L"AnchorMode")) {
        const int32_t mode = AlignmentFromWord(element->GetAttribute(L"AnchorMode"));
        if (mode >= 0)
            self->SetAnchorMode(mode);
    }
    LoadChildren(element);
}

void CUIWindow::LoadChildren(Common::IXmlElement* element)
{
    if (m_system == nullptr)
        return;
    for (int32_t i = 0; i < element->GetChildCount(); ++i) {
        Common::IXmlElement* childElement = element->GetChild(i);
        if (childElement == nullptr)
            continue;
        Common::TIntrusivePointer<IUIWindow> child(m_system->CreateControl(childElement->GetName()));
        CUIWindow* created = AsCUIWindow(child.Get());
        if (created == nullptr)
            continue;
        child->OnCreated();
        created->LoadNameFromXml(childElement);
        AddChild(child.Get());
        child->LoadAttributes(childElement);
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
