#include "engine/directui/frame/CFrame.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/directui/frame/CFrameManager.h"
#include "engine/directui/frame/CUISystemDriver_Frame.h"
#include "engine/directui/frame/RectFunctions.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/filesystem/ILogFile.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr int kTitleBufferLength = 1000;

CFrameManager* Manager()
{
    return CFrameManager::GetInstance();
}

RECT WindowRect(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    if (window != nullptr)
        GetWindowRect(window, &rect);
    return rect;
}

void AddExtendedStyle(HWND window, LONG style)
{
    const LONG current = GetWindowLongW(window, GWL_EXSTYLE);
    if ((current & style) != style)
        SetWindowLongW(window, GWL_EXSTYLE, current | style);
}

} // namespace

CFrame::CFrame() : m_attachedFrames(this), m_modality(this), m_trayIcon(this)
{
    m_backBuffer = IBackBuffer_Create();
    BindUISystem();
}

void CFrame::BindUISystem()
{
    // The driver is attached before the UI system is made over it.
    m_driver = Common::TIntrusivePointer<IUISystemDriver>(IUISystemDriver_Frame_Create());
    if (!m_driver)
        return;
    m_driver->Attach(this);
    m_uiSystem = Common::TIntrusivePointer<IUISystem>(IUISystem_Create(m_driver.Get()));
    if (m_uiSystem)
        m_uiSystem->Initialize();
}

CFrame::~CFrame()
{
    // Images may keep the driver beyond the frame: it must not draw on us then.
    if (m_driver)
        m_driver->Attach(nullptr);
    // A dying frame raises no events: it leaves the manager before its window
    // goes, so the destruction takes the default handling. The loops that
    // run for this frame still end.
    CFrameManager* manager = Manager();
    const HWND window = Handle();
    if (manager != nullptr) {
        if (window != nullptr) {
            manager->UnregisterFrame(window, this);
            manager->EndLoopsOf(this);
        }
        manager->ForgetFrame(this);
    }
    if (m_modality.IsOpen())
        m_modality.End();
    m_trayIcon.Remove();
    m_window.Reset();
    m_graphics.reset();
}

void CFrame::Create(HWND parent, DWORD style, DWORD exStyle)
{
    Destroy();
    HWND window = CreateWindowExW(exStyle, CFrameManager::kFrameClassName, L"", style, 0, 0, 0, 0, parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
            log->Log(FileSystem::LOG_LEVEL_ERROR, L"Frame window could not be created (error %u)",
                     static_cast<unsigned>(GetLastError()));
        return;
    }
    m_window.Reset(window);
    m_blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    Move(0, 0, 10, 10);
    // Icons set before the window existed (or before it was made again).
    ApplyIcon(ICON_BIG, m_icon.Get());
    ApplyIcon(ICON_SMALL, m_smallIcon.Get());
    if (CFrameManager* manager = Manager())
        manager->RegisterFrame(window, this);
}

void CFrame::Destroy()
{
    const HWND window = Handle();
    if (window == nullptr)
        return;
    // Destroyed while still registered, so that the frame handles its own
    // destruction (attached frames, tray icon, the loop's end); the window's
    // last message then unregisters it and forgets the handle. Handlers of
    // the destruction may drop the last reference to us.
    Common::CKeepAlive keepAlive(this);
    DestroyWindow(window);
    if (Handle() == window) {
        if (CFrameManager* manager = Manager())
            manager->UnregisterFrame(window, this);
        m_window.Release();
    }
}

void CFrame::Move(int x, int y, int width, int height)
{
    int oldX = 0, oldY = 0, oldWidth = 0, oldHeight = 0;
    GetRect(&oldX, &oldY, &oldWidth, &oldHeight);
    if (Handle() != nullptr)
        MoveWindow(Handle(), x, y, width, height, TRUE);
    if (width != oldWidth || height != oldHeight || !m_graphics)
        ResizeBackBuffer(width, height);
}

void CFrame::ResizeBackBuffer(int width, int height)
{
    // The graphics draws on the buffer's device context: it goes first.
    m_graphics.reset();
    if (!m_backBuffer)
        return;
    m_backBuffer->Create(width, height);
    if (HDC dc = m_backBuffer->GetDC())
        m_graphics.reset(new Gdiplus::Graphics(dc));
    AddPendingRepaint(RECT{0, 0, width, height});
    if (m_uiSystem)
        m_uiSystem->GetRootWindow()->SetRect(0, 0, width, height);
}

void CFrame::AddPendingRepaint(const RECT& rect)
{
    m_pendingRepaint = m_repaintPending ? EnclosingRect(m_pendingRepaint, rect) : rect;
    m_repaintPending = true;
}

void CFrame::GetRect(int* x, int* y, int* width, int* height)
{
    const RECT rect = WindowRect(Handle());
    if (x != nullptr)
        *x = rect.left;
    if (y != nullptr)
        *y = rect.top;
    if (width != nullptr)
        *width = rect.right - rect.left;
    if (height != nullptr)
        *height = rect.bottom - rect.top;
}

void CFrame::FitToContent()
{
    IUIWindow* content = m_uiSystem ? m_uiSystem->GetRootWindow()->GetChild(0) : nullptr;
    if (content == nullptr)
        return;
    int x = 0, y = 0, width = 0, height = 0;
    GetRect(&x, &y, &width, &height);
    Move(x, y, content->GetWidth(), content->GetHeight());
}

RECT CFrame::GetBoundingRect()
{
    return m_attachedFrames.Enclose(WindowRect(Handle()));
}

void CFrame::CenterOnArea(const RECT& area)
{
    if (Handle() == nullptr)
        return;
    const RECT bounds = GetBoundingRect();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    // Through Move, so that the back buffer follows the window's size.
    Move(area.left + areaWidth / 2 - width / 2, area.top + areaHeight / 2 - height / 2, width, height);
}

void CFrame::CenterOnScreen()
{
    CenterOnFrame(nullptr);
}

void CFrame::CenterOnWindows(HWND* windows, int count)
{
    if (windows == nullptr || count < 1) {
        CenterOnFrame(nullptr);
        return;
    }
    RECT area = WindowRect(windows[0]);
    for (int i = 1; i < count; ++i)
        area = EnclosingRect(area, WindowRect(windows[i]));
    CenterOnArea(area);
}

void CFrame::CenterOnFrame(IFrame* other)
{
    if (CFrame* frame = dynamic_cast<CFrame*>(other)) {
        CenterOnArea(frame->GetBoundingRect());
        return;
    }
    if (other != nullptr) {
        int x = 0, y = 0, width = 0, height = 0;
        other->GetRect(&x, &y, &width, &height);
        CenterOnArea(RECT{x, y, x + width, y + height});
        return;
    }
    int x = 0, y = 0, width = 0, height = 0;
    if (CFrameManager* manager = Manager())
        manager->GetMonitorWorkArea(&x, &y, &width, &height);
    CenterOnArea(RECT{x, y, x + width, y + height});
}

void CFrame::Show()
{
    if (Handle() == nullptr)
        return;
    // Handlers of the activation may drop the last reference to us.
    Common::CKeepAlive keepAlive(this);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    InvalidateAll();
    UpdateWindow(Handle());
}

void CFrame::Hide()
{
    if (Handle() != nullptr)
        ShowWindow(Handle(), SW_HIDE);
}

bool CFrame::IsVisible()
{
    return Handle() != nullptr && IsWindowVisible(Handle()) != FALSE;
}

void CFrame::Enable()
{
    if (Handle() != nullptr)
        EnableWindow(Handle(), TRUE);
    m_attachedFrames.EnableAll(true);
}

void CFrame::Disable()
{
    CFrameModality::DisableIfShown(Handle());
    m_attachedFrames.EnableAll(false);
}

bool CFrame::IsEnabled()
{
    return Handle() != nullptr && IsWindowEnabled(Handle()) != FALSE;
}

void CFrame::Minimize()
{
    if (Handle() != nullptr)
        ShowWindow(Handle(), SW_MINIMIZE);
}

bool CFrame::IsMinimized()
{
    return Handle() != nullptr && IsIconic(Handle()) != FALSE;
}

bool CFrame::IsActive()
{
    return m_active;
}

void CFrame::PostMessage()
{
    if (Handle() != nullptr)
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

IUIImage* CFrame::CreateImage(const wchar_t* path)
{
    return m_uiSystem ? m_uiSystem->CreateImage(path) : nullptr;
}

void CFrame::CreateAndKeepImage(const wchar_t* path)
{
    if (m_uiSystem)
        m_uiSystem->CreateAndKeepImage(path);
}

void CFrame::ReleaseRoot()
{
    if (m_uiSystem)
        m_uiSystem->ResetWindowTree();
}

void CFrame::LoadUI(const wchar_t* path)
{
    if (m_uiSystem)
        m_uiSystem->LoadUI(path);
}

IUIWindow* CFrame::CreateControl(const wchar_t* typeName)
{
    return m_uiSystem ? m_uiSystem->CreateControl(typeName) : nullptr;
}

IUISystem* CFrame::GetUISystem()
{
    return m_uiSystem.Get();
}

IUIWindow* CFrame::GetRootWindow()
{
    return m_uiSystem ? m_uiSystem->GetRootWindow() : nullptr;
}

void CFrame::SetFocusWindow(IUIWindow* window)
{
    if (m_uiSystem)
        m_uiSystem->SetFocus(window);
}

IUIWindow* CFrame::GetFocusWindow()
{
    return m_uiSystem ? m_uiSystem->GetFocusWindow() : nullptr;
}

void CFrame::Invalidate(int x, int y, int width, int height)
{
    const RECT rect = {x, y, x + width, y + height};
    // A null window would invalidate every window on the desktop.
    if (Handle() != nullptr)
        InvalidateRect(Handle(), &rect, FALSE);
    AddPendingRepaint(rect);
}

void CFrame::InvalidateAll()
{
    RECT client = {0, 0, 0, 0};
    if (Handle() != nullptr)
        GetClientRect(Handle(), &client);
    Invalidate(0, 0, client.right, client.bottom);
}

bool CFrame::IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

bool CFrame::IsKeyUp(int virtualKey)
{
    return !IsKeyDown(virtualKey);
}

bool CFrame::RegisterHotKey(int id, UINT modifiers, UINT virtualKey)
{
    return Handle() != nullptr && ::RegisterHotKey(Handle(), id, modifiers, virtualKey) != FALSE;
}

void CFrame::UnregisterHotKey(int id)
{
    if (Handle() != nullptr)
        ::UnregisterHotKey(Handle(), id);
}

void CFrame::SetColorKey(COLORREF key)
{
    if (m_layered)
        return;
    if (Handle() != nullptr) {
        AddExtendedStyle(Handle(), WS_EX_LAYERED);
        SetLayeredWindowAttributes(Handle(), key, 0, LWA_COLORKEY);
    }
    m_colorKeyed = true;
    m_colorKeyClear = Gdiplus::Color(255, GetRValue(key), GetGValue(key), GetBValue(key));
}

void CFrame::AttachFrame(int dx, int dy, IFrame* frame)
{
    m_attachedFrames.Attach(dx, dy, frame, false);
}

void CFrame::AttachFrameIndependent(int dx, int dy, IFrame* frame)
{
    m_attachedFrames.Attach(dx, dy, frame, true);
}

void CFrame::MoveAttachedFrame(IFrame* frame, int dx, int dy)
{
    m_attachedFrames.Move(frame, dx, dy);
}

void CFrame::DetachFrame(IFrame* frame)
{
    m_attachedFrames.Detach(frame);
}

void CFrame::RemoveAttachedFrame(IFrame* frame)
{
    m_attachedFrames.Detach(frame);
}

void CFrame::SetCloseRedirectsToOwner(bool redirect)
{
    m_closeRedirectsToOwner = redirect;
}

void CFrame::SetCloseRedirectWindow(HWND window)
{
    m_closeRedirectWindow = window;
}

void CFrame::ShowModalOverWindows(HWND* windows, int count, bool tickOnIdle)
{
    m_modality.ShowModalOverWindows(windows, count, tickOnIdle);
}

void CFrame::ShowModalOverWindows(HWND* windows, int count)
{
    ShowModalOverWindows(windows, count, true);
}

void CFrame::ShowModal(IFrame* owner, bool tickOnIdle)
{
    m_modality.ShowModal(owner, tickOnIdle);
}

void CFrame::ShowModal(IFrame* owner)
{
    ShowModal(owner, true);
}

void CFrame::ShowModelessOverWindows(HWND* windows, int count)
{
    m_modality.ShowModelessOverWindows(windows, count);
}

void CFrame::ShowModeless(IFrame* owner)
{
    m_modality.ShowModeless(owner);
}

void CFrame::GetCursorPos(int* x, int* y)
{
    POINT point = {0, 0};
    ::GetCursorPos(&point);
    if (Handle() != nullptr)
        ScreenToClient(Handle(), &point);
    if (x != nullptr)
        *x = point.x;
    if (y != nullptr)
        *y = point.y;
}

bool CFrame::IsCapsLockOn()
{
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

bool CFrame::IsNumLockOn()
{
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

void CFrame::AddTrayIcon()
{
    m_trayIcon.Add();
}

void CFrame::SetTrayIcon(HICON icon)
{
    m_trayIcon.SetIcon(icon);
}

void CFrame::SetTrayTip(const wchar_t* text)
{
    m_trayIcon.SetTip(text);
}

void CFrame::RemoveTrayIcon()
{
    m_trayIcon.Remove();
}

void CFrame::ShowPlain()
{
    if (Handle() != nullptr)
        ShowWindow(Handle(), SW_SHOWNORMAL);
}

void CFrame::SetX(int x)
{
    int oldX, y, width, height;
    GetRect(&oldX, &y, &width, &height);
    Move(x, y, width, height);
}

void CFrame::SetY(int y)
{
    int x, oldY, width, height;
    GetRect(&x, &oldY, &width, &height);
    Move(x, y, width, height);
}

void CFrame::SetWidth(int width)
{
    int x, y, oldWidth, height;
    GetRect(&x, &y, &oldWidth, &height);
    Move(x, y, width, height);
}

void CFrame::SetHeight(int height)
{
    int x, y, width, oldHeight;
    GetRect(&x, &y, &width, &oldHeight);
    Move(x, y, width, height);
}

int CFrame::GetX()
{
    return WindowRect(Handle()).left;
}

int CFrame::GetY()
{
    return WindowRect(Handle()).top;
}

int CFrame::GetWidth()
{
    const RECT rect = WindowRect(Handle());
    return rect.right - rect.left;
}

int CFrame::GetHeight()
{
    const RECT rect = WindowRect(Handle());
    return rect.bottom - rect.top;
}

void CFrame::SetTitle(const wchar_t* title)
{
    if (Handle() != nullptr)
        SetWindowTextW(Handle(), title != nullptr ? title : L"");
}

const wchar_t* CFrame::GetTitle()
{
    wchar_t buffer[kTitleBufferLength] = {};
    if (Handle() != nullptr)
        GetWindowTextW(Handle(), buffer, kTitleBufferLength);
    m_title = buffer;
    return m_title.c_str();
}

void CFrame::SetDisplayName(const wchar_t* name)
{
    m_displayName = name != nullptr ? name : L"";
}

const wchar_t* CFrame::GetDisplayName()
{
    return m_displayName.c_str();
}

void CFrame::SetIcon(IIcon* icon)
{
    m_icon = Common::TIntrusivePointer<IIcon>(icon);
    ApplyIcon(ICON_BIG, icon);
}

void CFrame::ApplyIcon(WPARAM kind, IIcon* icon)
{
    if (Handle() != nullptr)
        SendMessageW(Handle(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon ? icon->GetHandle() : nullptr));
}

IIcon* CFrame::GetIcon()
{
    return m_icon.Get();
}

void CFrame::SetSmallIcon(IIcon* icon)
{
    m_smallIcon = Common::TIntrusivePointer<IIcon>(icon);
    ApplyIcon(ICON_SMALL, icon);
}

IIcon* CFrame::GetSmallIcon()
{
    return m_smallIcon.Get();
}

void CFrame::SetFrameColor(const Gdiplus::Color& color)
{
    m_frameColor = color;
}

Gdiplus::Color CFrame::GetFrameColor()
{
    return m_frameColor;
}

void CFrame::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

bool CFrame::GetVisible()
{
    return IsVisible();
}

void CFrame::SetEnabled(bool enabled)
{
    if (enabled)
        Enable();
    else
        Disable();
}

bool CFrame::GetEnabled()
{
    return IsEnabled();
}

void CFrame::SetOwnerFrame(IFrame* owner)
{
    m_modality.SetOwnerFrame(owner);
}

IFrame* CFrame::GetOwnerFrame()
{
    return m_modality.GetOwnerFrame();
}

Gdiplus::Graphics* CFrame::GetGraphics()
{
    return m_graphics.get();
}

HWND CFrame::GetHandle()
{
    return Handle();
}

void CFrame::SetHideOnDeactivate(bool hide)
{
    m_hideOnDeactivate = hide;
}

bool CFrame::GetHideOnDeactivate()
{
    return m_hideOnDeactivate;
}

bool CFrame::IsTopMost()
{
    return Handle() != nullptr && (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void CFrame::SetTopMost(bool topMost)
{
    if (Handle() != nullptr)
        SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CFrame::SetFocus()
{
    if (Handle() != nullptr)
        ::SetFocus(Handle());
}

void CFrame::SetName(const wchar_t* name)
{
    m_name = name != nullptr ? name : L"";
}

const wchar_t* CFrame::GetName()
{
    return m_name.c_str();
}

void CFrame::UpdateLayered(HDC)
{
    if (Handle() == nullptr || !m_backBuffer)
        return;
    AddExtendedStyle(Handle(), WS_EX_LAYERED);
    RECT client = {0, 0, 0, 0};
    GetClientRect(Handle(), &client);
    POINT destination = {0, 0};
    ClientToScreen(Handle(), &destination);
    SIZE size = {client.right, client.bottom};
    POINT source = {0, 0};
    Common::WindowDcTraits traits;
    traits.window = Handle();
    Common::CScopedWindowDc screen(::GetDC(Handle()), traits);
    if (UpdateLayeredWindow(Handle(), screen.Get(), &destination, &size, m_backBuffer->GetDC(), &source, 0,
                            &m_blend, ULW_ALPHA))
        return;
    // Painting goes on without the layered update; one line is enough to
    // find the cause, however many paints fail the same way.
    if (m_layeredFailureLogged)
        return;
    m_layeredFailureLogged = true;
    const DWORD error = GetLastError();
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
        log->Log(FileSystem::LOG_LEVEL_WARNING, L"Layered window update failed (error %u): %s",
                 static_cast<unsigned>(error), text);
}

void CFrame::SetLayeredMode(bool layered)
{
    m_layered = layered;
}

void CFrame::RaiseFrameMove(int32_t elapsedMs)
{
    tagFrameFrameMoveEventArgs args;
    args.elapsedMs = elapsedMs;
    Fire(FRAME_EVENT_FRAME_MOVE, this, &args);
}

Common::TIntrusivePointer<IFrame> IFrame_Create()
{
    return Common::TIntrusivePointer<IFrame>(new (std::nothrow) CFrame());
}

} // namespace DirectUI
} // namespace RVGameEngine
