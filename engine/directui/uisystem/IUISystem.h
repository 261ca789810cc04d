#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IUIImage;
class IUISystemDriver;
class IUIWindow;

// Event the UI system raises (sender: the UI system), with the driver's
// tagUIFrameMoveEventArgs, just before the root window's tick.
constexpr int32_t kUISystemFrameMoveEvent = 0;

// A frame's window tree with its root ("Root"), the capture, focus and hover
// windows, the name registry, the clip stack and the control factory. It
// turns the driver's UI events into calls on the windows.
class RV_API IUISystem : public Common::CEventDelegateManager
{
public:
    ~IUISystem() override = default;

    // Subscribes to the driver's UI events; once, after creation.
    virtual void Initialize() = 0;
    virtual IUISystemDriver* GetDriver() = 0;
    // A new image loaded from the file (also when loading failed). Null only
    // when the heap is exhausted; the caller takes the first reference.
    virtual IUIImage* CreateImage(const wchar_t* path) = 0;
    // The same, held by the UI system until it ends.
    virtual void CreateAndKeepImage(const wchar_t* path) = 0;
    virtual IUIWindow* GetRootWindow() = 0;
    // Removes every window below the root and lets go of capture, focus and hover.
    virtual void ResetWindowTree() = 0;
    virtual void LoadUI(const wchar_t* path) = 0;
    // A new control for the element name, or null for a name that is not a
    // control type. The control is in no tree yet and has no name.
    virtual IUIWindow* CreateControl(const wchar_t* elementName) = 0;
    virtual void SetFocus(IUIWindow* window) = 0;
    virtual IUIWindow* GetFocusWindow() = 0;
    virtual void SetCapture(IUIWindow* window) = 0;
    virtual void ReleaseCapture() = 0;
    virtual IUIWindow* GetCaptureWindow() = 0;
    virtual void SetClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void GetClipRect(bool* enabled, int32_t* x, int32_t* y, int32_t* width, int32_t* height) = 0;
    // Saves the current clip and sets its intersection with the rectangle.
    virtual void PushClipRect(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void PopClipRect() = 0;
    virtual IUIWindow* WindowFromPoint(int32_t x, int32_t y) = 0;
    virtual void SetClickSuppressed(bool suppressed) = 0;
    virtual bool IsClickSuppressed() = 0;
    virtual void SetPickNamedWindows(bool pick) = 0;
    virtual bool IsPickNamedWindows() = 0;
    virtual void Reserved(Common::TIntrusivePointer<IUIWindow> window) = 0;
};

// The driver is required: a null one stops the program.
RV_API IUISystem* IUISystem_Create(IUISystemDriver* driver);

} // namespace DirectUI
} // namespace RVGameEngine
