#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/directui/uisystem/tagColor.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IFrame;
class IUIImage;

// What a UI system needs of its host: input arrives as UI events (enmUIEvent,
// raised with the driver as sender); drawing, text, clipping, capture, focus
// and invalidation go out through these operations.
class RV_API IUISystemDriver : public Common::CEventDelegateManager
{
public:
    ~IUISystemDriver() override = default;

    virtual void Attach(IFrame* frame) = 0;
    // Gives the image the shared data of the file (decoded on first use).
    virtual void LoadImageData(IUIImage* image, const wchar_t* path) = 0;
    // Sets the image's size from its data, when it has data.
    virtual void GetImageSize(IUIImage* image) = 0;
    virtual void DrawImage(IUIImage* image, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX,
                           int32_t srcY, int32_t srcWidth, int32_t srcHeight, tagColor color) = 0;
    virtual void BeginPaint() = 0;
    // Fills opaquely: the colour's alpha is not used.
    virtual void FillRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) = 0;
    virtual void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) = 0;
    virtual int32_t GetFont(const wchar_t* name) = 0;
    virtual void MeasureText(int32_t font, const wchar_t* text, int32_t* width, int32_t* height) = 0;
    // Text in the box, placed by the alignment code 0 to 8; opaque colour.
    virtual void DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t align) = 0;
    virtual void DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y) = 0;
    virtual void EndPaint() = 0;
    virtual void BeginWindowDrag() = 0;
    virtual void SetFocusToFrame() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetClipRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void Invalidate(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void InvalidateAll() = 0;
    virtual HWND GetFrameHandle() = 0;
    virtual IFrame* GetFrame() = 0;
    virtual bool IsKeyDown(int32_t virtualKey) = 0;
    virtual bool IsKeyUp(int32_t virtualKey) = 0;

    // Raise one UI event each (sender: this driver).
    virtual void RaiseFrameMove(int32_t elapsedMs);
    virtual void RaisePaint();
    virtual void RaiseKeyDown(int32_t virtualKey);
    virtual void RaiseKeyUp(int32_t virtualKey);
    virtual void RaiseChar(wchar_t character);
    virtual void RaiseSetFocus();
    virtual void RaiseKillFocus();
    virtual void RaiseLButtonDown(int32_t x, int32_t y);
    virtual void RaiseLButtonUp(int32_t x, int32_t y);
    virtual void RaiseMouseMove(int32_t x, int32_t y);
    virtual void RaiseMouseWheel(int32_t steps);

    // A hook every image may call on its driver; nothing needs it here.
    virtual void NotifyImage(IUIImage* image) = 0;

    void RaiseLButtonDblClk(int32_t x, int32_t y);
    void RaiseRButtonDown(int32_t x, int32_t y);
    void RaiseRButtonUp(int32_t x, int32_t y);

private:
    void RaiseMouse(int32_t eventId, int32_t x, int32_t y);
};

} // namespace DirectUI
} // namespace RVGameEngine
