#pragma once

#include "engine/directui/controls/CScrollBarCore.h"
#include "engine/directui/controls/IHScrollBar.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The horizontal scroll bar: left arrow at the left end, right arrow at the
// right end, the thumb on the track between them.
class RV_API CHScrollBar : public CUIWindow, public IHScrollBar
{
public:
    CHScrollBar();

    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    // A turn away from the user steps left; the parent never sees the turn.
    void OnMouseWheel(int32_t steps) override;

    // IUIWindow
    // Releases all thirteen pictures.
    void ResetBackgroundImage() override;
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // IHScrollBar
    bool IsDragging() override;
    void SetRange(int32_t range) override;
    int32_t GetRange() override;
    void SetPosition(int32_t position) override;
    int32_t GetPosition() override;
    void SetPage(int32_t page) override;
    int32_t GetPage() override;
    void SetStep(int32_t step) override;
    int32_t GetStep() override;

    void RaiseScrolled();
    void CreateButtons();

private:
    CScrollBarCore m_core;
};

} // namespace DirectUI
} // namespace RVGameEngine
