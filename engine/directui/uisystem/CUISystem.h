#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"

#include <map>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class RV_API CUISystem : public IUISystem
{
public:
    explicit CUISystem(IUISystemDriver* driver);
    ~CUISystem() override;

    void Initialize() override;
    IUISystemDriver* GetDriver() override;
    IUIImage* CreateImage(const wchar_t* path) override;
    void CreateAndKeepImage(const wchar_t* path) override;
    IUIWindow* GetRootWindow() override;
    void ResetWindowTree() override;
    void LoadUI(const wchar_t* path) override;
    IUIWindow* CreateControl(const wchar_t* elementName) override;
    void SetFocus(IUIWindow* window) override;
    IUIWindow* GetFocusWindow() override;
    void SetCapture(IUIWindow* window) override;
    void ReleaseCapture() override;
    IUIWindow* GetCaptureWindow() override;
    void SetClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void GetClipRect(bool* enabled, int32_t* x, int32_t* y, int32_t* width, int32_t* height) override;
    void PushClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void PopClipRect() override;
    IUIWindow* WindowFromPoint(int32_t x, int32_t y) override;
    void SetClickSuppressed(bool suppressed) override;
    bool IsClickSuppressed() override;
    void SetPickNamedWindows(bool pick) override;
    bool IsPickNamedWindows() override;
    void Reserved(Common::TIntrusivePointer<IUIWindow> window) override;

    // The name registry: one window per non-empty name; a later window of the
    // same name replaces the entry.
    void RegisterWindowName(const wchar_t* name, const Common::TIntrusivePointer<IUIWindow>& window);
    void UnregisterWindowName(const wchar_t* name);
    // Removes the entry only while it still names that window, so removing an
    // older window of a reused name keeps the newer one findable.
    void UnregisterWindowName(const wchar_t* name, IUIWindow* window);
    Common::TIntrusivePointer<IUIWindow> FindRegisteredWindow(const wchar_t* name);
    // Lets go of capture (through the driver), hover and focus held on the
    // window, which is leaving the tree.
    void ReleaseHoldsOn(IUIWindow* window);
    IUIWindow* GetHoverWindow() const { return m_hover.Get(); }
    size_t GetClipDepth() const { return m_clipStack.size(); }

private:
    struct tagClipState
    {
        bool enabled = false;
        int32_t x = 0, y = 0, width = 0, height = 0;
    };

    void OnFrameMove(void* sender, Common::tagEventArgs* args);
    void OnPaint(void* sender, Common::tagEventArgs* args);
    void OnMouseMove(void* sender, Common::tagEventArgs* args);
    void OnMouseWheel(void* sender, Common::tagEventArgs* args);
    void OnLButtonDblClk(void* sender, Common::tagEventArgs* args);
    void OnLButtonDown(void* sender, Common::tagEventArgs* args);
    void OnLButtonUp(void* sender, Common::tagEventArgs* args);
    void OnRButtonDown(void* sender, Common::tagEventArgs* args);
    void OnRButtonUp(void* sender, Common::tagEventArgs* args);
    void OnKeyDown(void* sender, Common::tagEventArgs* args);
    void OnKeyUp(void* sender, Common::tagEventArgs* args);
    void OnChar(void* sender, Common::tagEventArgs* args);
    void OnFrameSetFocus(void* sender, Common::tagEventArgs* args);
    void OnFrameKillFocus(void* sender, Common::tagEventArgs* args);

    using MouseHandler = void (CUIWindow::*)(int32_t x, int32_t y, bool* continueRouting);

    Common::TIntrusivePointer<CUIWindow> DispatchTarget() const;
    // The handler of the capture window, or else of the root, with the
    // event's position; the UI system stays alive until it returns.
    void RouteToTarget(MouseHandler handler, Common::tagEventArgs* args);
    // Calls on the focus window, when there is one, held alive.
    template <typename Call>
    void TellFocusWindow(Call call);
    void TrackHover(int32_t x, int32_t y);

    Common::TIntrusivePointer<IUISystemDriver> m_driver;
    Common::TIntrusivePointer<CUIWindow> m_root;
    Common::TIntrusivePointer<CUIWindow> m_capture;
    Common::TIntrusivePointer<CUIWindow> m_focus;
    Common::TIntrusivePointer<CUIWindow> m_hover;
    tagClipState m_clip;
    std::vector<tagClipState> m_clipStack;
    int32_t m_lastMouseX = 0;
    int32_t m_lastMouseY = 0;
    std::vector<Common::TIntrusivePointer<IUIImage>> m_keptImages;
    bool m_clickSuppressed = false;
    std::map<std::wstring, Common::TIntrusivePointer<IUIWindow>> m_names;
    bool m_pickNamedWindows = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
