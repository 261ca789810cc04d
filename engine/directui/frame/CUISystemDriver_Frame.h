#pragma once

#include "engine/directui/drawing/CUISystemDriver_Graphics.h"

namespace RVGameEngine {
namespace DirectUI {

// The UI-system driver of a frame: the frame's events become UI events, and
// drawing goes to the frame's current graphics over its back buffer.
class RV_API CUISystemDriver_Frame : public CUISystemDriver_Graphics
{
public:
    void Attach(IFrame* frame) override;
    void BeginWindowDrag() override;
    void SetFocusToFrame() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void Invalidate(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void InvalidateAll() override;
    HWND GetFrameHandle() override;
    IFrame* GetFrame() override;
    bool IsKeyDown(int32_t virtualKey) override;
    bool IsKeyUp(int32_t virtualKey) override;

    // Asked at every call: the frame replaces it when its size changes.
    Gdiplus::Graphics* GetGraphics() override;

private:
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
    void OnSetFocus(void* sender, Common::tagEventArgs* args);
    void OnKillFocus(void* sender, Common::tagEventArgs* args);

    // Not counted: the frame owns this driver.
    IFrame* m_frame = nullptr;
};

// Null when the engine heap is exhausted.
RV_API IUISystemDriver* IUISystemDriver_Frame_Create();

} // namespace DirectUI
} // namespace RVGameEngine
