#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/FrameEvents.h"
#include "engine/directui/frame/IIcon.h"

#include <windows.h>
#include <gdiplus.h>

namespace RVGameEngine {
namespace DirectUI {

class IUIImage;
class IUISystem;
class IUIWindow;

// One top-level window of the class "RVFRAME": the host of everything the UI
// toolkit draws. It turns its window messages into the frame events of
// FrameEvents.h, paints from its back buffer and offers window services.
// Coordinates are pixels; "screen" positions are screen coordinates, the
// others client coordinates.
class RV_API IFrame : public Common::CEventDelegateManager
{
public:
    // Makes the window (destroying an earlier one first), 10 x 10 at 0, 0.
    virtual void Create(HWND parent, DWORD style, DWORD exStyle) = 0;
    virtual void Destroy() = 0;
    virtual void Move(int x, int y, int width, int height) = 0;
    // Screen position and outer size.
    virtual void GetRect(int* x, int* y, int* width, int* height) = 0;
    virtual void FitToContent() = 0;
    virtual void CenterOnScreen() = 0;
    virtual void CenterOnWindows(HWND* windows, int count) = 0;
    virtual void CenterOnFrame(IFrame* other) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() = 0;
    virtual void Enable() = 0;
    virtual void Disable() = 0;
    virtual bool IsEnabled() = 0;
    virtual void Minimize() = 0;
    virtual bool IsMinimized() = 0;
    virtual bool IsActive() = 0;
    // Posts WM_CLOSE to the frame's window.
    virtual void PostMessage() = 0;
    virtual IUIImage* CreateImage(const wchar_t* path) = 0;
    virtual void CreateAndKeepImage(const wchar_t* path) = 0;
    virtual void ReleaseRoot() = 0;
    virtual void LoadUI(const wchar_t* path) = 0;
    virtual IUIWindow* CreateControl(const wchar_t* typeName) = 0;
    virtual void Invalidate(int x, int y, int width, int height) = 0;
    virtual void InvalidateAll() = 0;
    virtual bool IsKeyDown(int virtualKey) = 0;
    virtual bool IsKeyUp(int virtualKey) = 0;
    virtual bool RegisterHotKey(int id, UINT modifiers, UINT virtualKey) = 0;
    virtual void UnregisterHotKey(int id) = 0;
    virtual void SetColorKey(COLORREF key) = 0;
    // Attached frames keep their offset to this frame's client origin.
    virtual void AttachFrame(int dx, int dy, IFrame* frame) = 0;
    virtual void MoveAttachedFrame(IFrame* frame, int dx, int dy) = 0;
    virtual void DetachFrame(IFrame* frame) = 0;
    virtual void AttachFrameIndependent(int dx, int dy, IFrame* frame) = 0;
    virtual void RemoveAttachedFrame(IFrame* frame) = 0;
    virtual void SetCloseRedirectsToOwner(bool redirect) = 0;
    virtual void SetCloseRedirectWindow(HWND window) = 0;
    // Modal displays return when the frame's window has been destroyed.
    virtual void ShowModalOverWindows(HWND* windows, int count, bool tickOnIdle) = 0;
    virtual void ShowModalOverWindows(HWND* windows, int count) = 0;
    virtual void ShowModal(IFrame* owner, bool tickOnIdle) = 0;
    virtual void ShowModal(IFrame* owner) = 0;
    virtual void ShowModelessOverWindows(HWND* windows, int count) = 0;
    virtual void ShowModeless(IFrame* owner) = 0;
    // The cursor position in client coordinates.
    virtual void GetCursorPos(int* x, int* y) = 0;
    virtual bool IsCapsLockOn() = 0;
    virtual bool IsNumLockOn() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void SetTrayIcon(HICON icon) = 0;
    virtual void SetTrayTip(const wchar_t* text) = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void ShowPlain() = 0;
    virtual void SetX(int x) = 0;
    virtual void SetY(int y) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual int GetX() = 0;
    virtual int GetY() = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual void SetTitle(const wchar_t* title) = 0;
    // Valid until the next call.
    virtual const wchar_t* GetTitle() = 0;
    virtual void SetDisplayName(const wchar_t* name) = 0;
    virtual const wchar_t* GetDisplayName() = 0;
    virtual void SetIcon(IIcon* icon) = 0;
    virtual IIcon* GetIcon() = 0;
    virtual void SetSmallIcon(IIcon* icon) = 0;
    virtual IIcon* GetSmallIcon() = 0;
    virtual void SetFrameColor(const Gdiplus::Color& color) = 0;
    virtual Gdiplus::Color GetFrameColor() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool GetVisible() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool GetEnabled() = 0;
    virtual void SetOwnerFrame(IFrame* owner) = 0;
    virtual IFrame* GetOwnerFrame() = 0;
    virtual IUISystem* GetUISystem() = 0;
    virtual IUIWindow* GetRootWindow() = 0;
    virtual void SetFocusWindow(IUIWindow* window) = 0;
    virtual IUIWindow* GetFocusWindow() = 0;
    // The GDI+ graphics over the back buffer; replaced on every resize, so
    // callers ask for it each time they draw.
    virtual Gdiplus::Graphics* GetGraphics() = 0;
    // Null while the frame has no window.
    virtual HWND GetHandle() = 0;
    virtual void SetHideOnDeactivate(bool hide) = 0;
    virtual bool GetHideOnDeactivate() = 0;
    virtual bool IsTopMost() = 0;
    virtual void SetTopMost(bool topMost) = 0;
    virtual void SetFocus() = 0;
    // The name the frame manager's FindFrame looks for.
    virtual void SetName(const wchar_t* name) = 0;
    virtual const wchar_t* GetName() = 0;
    virtual void UpdateLayered(HDC dc) = 0;
    virtual void SetLayeredMode(bool layered) = 0;
};

// A new frame without a window; empty when memory runs out.
RV_API Common::TIntrusivePointer<IFrame> IFrame_Create();

} // namespace DirectUI
} // namespace RVGameEngine
