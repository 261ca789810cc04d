#pragma once

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/base/tagWindowInput.h"
#include "engine/directui/frame/CAttachedFrames.h"
#include "engine/directui/frame/CFrameModality.h"
#include "engine/directui/frame/CFrameTrayIcon.h"
#include "engine/directui/frame/IBackBuffer.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CFrame : public IFrame
{
public:
    CFrame();
    ~CFrame() override;

    void Create(HWND parent, DWORD style, DWORD exStyle) override;
    void Destroy() override;
    void Move(int x, int y, int width, int height) override;
    void GetRect(int* x, int* y, int* width, int* height) override;
    void FitToContent() override;
    void CenterOnScreen() override;
    void CenterOnWindows(HWND* windows, int count) override;
    void CenterOnFrame(IFrame* other) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() override;
    void Enable() override;
    void Disable() override;
    bool IsEnabled() override;
    void Minimize() override;
    bool IsMinimized() override;
    bool IsActive() override;
    void PostMessage() override;
    IUIImage* CreateImage(const wchar_t* path) override;
    void CreateAndKeepImage(const wchar_t* path) override;
    void ReleaseRoot() override;
    void LoadUI(const wchar_t* path) override;
    IUIWindow* CreateControl(const wchar_t* typeName) override;
    void Invalidate(int x, int y, int width, int height) override;
    void InvalidateAll() override;
    bool IsKeyDown(int virtualKey) override;
    bool IsKeyUp(int virtualKey) override;
    bool RegisterHotKey(int id, UINT modifiers, UINT virtualKey) override;
    void UnregisterHotKey(int id) override;
    void SetColorKey(COLORREF key) override;
    void AttachFrame(int dx, int dy, IFrame* frame) override;
    void MoveAttachedFrame(IFrame* frame, int dx, int dy) override;
    void DetachFrame(IFrame* frame) override;
    void AttachFrameIndependent(int dx, int dy, IFrame* frame) override;
    void RemoveAttachedFrame(IFrame* frame) override;
    void SetCloseRedirectsToOwner(bool redirect) override;
    void SetCloseRedirectWindow(HWND window) override;
    void ShowModalOverWindows(HWND* windows, int count, bool tickOnIdle) override;
    void ShowModalOverWindows(HWND* windows, int count) override;
    void ShowModal(IFrame* owner, bool tickOnIdle) override;
    void ShowModal(IFrame* owner) override;
    void ShowModelessOverWindows(HWND* windows, int count) override;
    void ShowModeless(IFrame* owner) override;
    void GetCursorPos(int* x, int* y) override;
    bool IsCapsLockOn() override;
    bool IsNumLockOn() override;
    void AddTrayIcon() override;
    void SetTrayIcon(HICON icon) override;
    void SetTrayTip(const wchar_t* text) override;
    void RemoveTrayIcon() override;
    void ShowPlain() override;
    void SetX(int x) override;
    void SetY(int y) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    int GetX() override;
    int GetY() override;
    int GetWidth() override;
    int GetHeight() override;
    void SetTitle(const wchar_t* title) override;
    const wchar_t* GetTitle() override;
    void SetDisplayName(const wchar_t* name) override;
    const wchar_t* GetDisplayName() override;
    void SetIcon(IIcon* icon) override;
    IIcon* GetIcon() override;
    void SetSmallIcon(IIcon* icon) override;
    IIcon* GetSmallIcon() override;
    void SetFrameColor(const Gdiplus::Color& color) override;
    Gdiplus::Color GetFrameColor() override;
    void SetVisible(bool visible) override;
    bool GetVisible() override;
    void SetEnabled(bool enabled) override;
    bool GetEnabled() override;
    void SetOwnerFrame(IFrame* owner) override;
    IFrame* GetOwnerFrame() override;
    IUISystem* GetUISystem() override;
    IUIWindow* GetRootWindow() override;
    void SetFocusWindow(IUIWindow* window) override;
    IUIWindow* GetFocusWindow() override;
    Gdiplus::Graphics* GetGraphics() override;
    HWND GetHandle() override;
    void SetHideOnDeactivate(bool hide) override;
    bool GetHideOnDeactivate() override;
    bool IsTopMost() override;
    void SetTopMost(bool topMost) override;
    void SetFocus() override;
    void SetName(const wchar_t* name) override;
    const wchar_t* GetName() override;
    void UpdateLayered(HDC dc) override;
    void SetLayeredMode(bool layered) override;

    // Called by the frame manager: its tick and the messages of the window.
    void RaiseFrameMove(int32_t elapsedMs);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    IBackBuffer* GetBackBuffer() { return m_backBuffer.Get(); }

private:
    HWND Handle() const { return m_window.Get(); }
    void ResizeBackBuffer(int width, int height);
    void ApplyIcon(WPARAM kind, IIcon* icon);
    void BindUISystem();
    void AddPendingRepaint(const RECT& rect);
    RECT GetBoundingRect();
    void CenterOnArea(const RECT& area);
    void RedirectClose(HWND window, HWND target);

    // Message handling.
    void BeforeDispatch(UINT message, WPARAM wParam);
    void OnInput(const Common::tagWindowInput& input);
    void RaiseKey(int32_t eventId, uint32_t virtualKey);
    void RaiseMouse(const Common::tagWindowInput& input);
    void RaiseAnyMessage(int32_t eventId, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(int32_t steps);
    void OnPaint(HWND window);
    void PaintPendingRectangle();
    void OnActivate(WPARAM wParam);
    void OnClose(HWND window);
    void OnDestroy();
    void OnWindowGone(HWND window);
    LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam);

    Common::CScopedWindow m_window;
    Common::TIntrusivePointer<IIcon> m_icon;
    Common::TIntrusivePointer<IIcon> m_smallIcon;
    std::wstring m_title;
    std::wstring m_displayName = L"Noname";
    Common::TIntrusivePointer<IBackBuffer> m_backBuffer;
    // Made over the back buffer's device context, so it goes before the buffer.
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
    Gdiplus::Color m_frameColor{255, 0, 0, 0};
    CAttachedFrames m_attachedFrames;
    // The display over an owner, with the owner frame and window.
    CFrameModality m_modality;
    bool m_repaintPending = false;
    RECT m_pendingRepaint = {0, 0, 0, 0};
    bool m_active = false;
    // Made with the frame; the UI system goes before the driver it uses.
    Common::TIntrusivePointer<IUISystemDriver> m_driver;
    Common::TIntrusivePointer<IUISystem> m_uiSystem;
    bool m_closeRedirectsToOwner = false;
    HWND m_closeRedirectWindow = nullptr;
    bool m_colorKeyed = false;
    Gdiplus::Color m_colorKeyClear{255, 0, 0, 0};
    bool m_hideOnDeactivate = false;
    POINT m_lastMouse = {0, 0};
    CFrameTrayIcon m_trayIcon;
    std::wstring m_name;
    BLENDFUNCTION m_blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    bool m_layered = false;
    // Set while this frame passes a close on, so that a close that comes back
    // (a redirect loop) is dropped.
    bool m_redirectingClose = false;
    bool m_layeredFailureLogged = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
