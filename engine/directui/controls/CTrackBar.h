#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/ITrackBar.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// A thumb dragged along the window's width; the background image, shown up to
// the thumb's centre, is the filled part of the track.
class RV_API CTrackBar : public CUIWindow, public ITrackBar
{
public:
    // ITrackBar
    void SetPosition(float position) override;
    float GetPosition() override;
    void SetDraggable(bool draggable) override;
    bool IsDraggable() override;

    // IUIWindow
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // CUIWindow
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;

private:
    int32_t ThumbWidth();
    int32_t Travel();
    int32_t ThumbOffset();
    bool InThumb(int32_t x, int32_t y);
    IUIImage* ThumbImage();

    bool m_dragging = false;
    bool m_hover = false;
    int32_t m_pressX = 0;
    int32_t m_pressBarX = 0;
    float m_position = 0.0f;
    Common::TIntrusivePointer<IUIImage> m_barUp;
    Common::TIntrusivePointer<IUIImage> m_barDown;
    Common::TIntrusivePointer<IUIImage> m_barHover;
    Common::TIntrusivePointer<IUIImage> m_barDisabled;
    bool m_draggable = true;
};

} // namespace DirectUI
} // namespace RVGameEngine
