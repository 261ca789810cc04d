#pragma once

#include "engine/directui/uisystem/IUISystemDriver.h"

#include <windows.h>
#include <gdiplus.h>

namespace RVGameEngine {
namespace DirectUI {

// The drawing half of a UI-system driver: images, fills, outlines, text and
// clipping on whatever GDI+ graphics the host supplies at the time of each
// call. Without a graphics every drawing and measuring call does nothing
// (a measure answers 0). The host operations (capture, focus, invalidation,
// window drag) do nothing here; a host overrides them.
class RV_API CUISystemDriver_Graphics : public IUISystemDriver
{
public:
    void Attach(IFrame* frame) override;
    void LoadImageData(IUIImage* image, const wchar_t* path) override;
    void GetImageSize(IUIImage* image) override;
    void DrawImage(IUIImage* image, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY,
                   int32_t srcWidth, int32_t srcHeight, tagColor color) override;
    void BeginPaint() override;
    void FillRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) override;
    void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) override;
    int32_t GetFont(const wchar_t* name) override;
    void MeasureText(int32_t font, const wchar_t* text, int32_t* width, int32_t* height) override;
    void DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t align) override;
    void DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y) override;
    void EndPaint() override;
    void BeginWindowDrag() override;
    void SetFocusToFrame() override;
    void Reserved1() override;
    void Reserved2() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void SetClipRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void Invalidate(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void InvalidateAll() override;
    HWND GetFrameHandle() override;
    IFrame* GetFrame() override;
    bool IsKeyDown(int32_t virtualKey) override;
    bool IsKeyUp(int32_t virtualKey) override;
    void NotifyImage(IUIImage* image) override;

    // The graphics to draw on now; null while the host has none.
    virtual Gdiplus::Graphics* GetGraphics() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
