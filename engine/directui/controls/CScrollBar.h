#pragma once

#include "engine/directui/controls/CScrollBarCore.h"
#include "engine/directui/controls/IScrollBar.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The vertical scroll bar: up arrow at the top, down arrow at the bottom,
// the thumb on the track between them.
class RV_API CScrollBar : public CUIWindow, public IScrollBar
{
public:
    CScrollBar();

    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    // A turn away from the user steps up; the parent never sees the turn.
    void OnMouseWheel(int32_t steps) override;

    // IUIWindow
    // Releases the track and thumb pictures; the arrows keep theirs.
    void ResetBackgroundImage() override;
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // IScrollBar
    bool IsDragging() override;
    void RaiseScrolled() override;
    void CreateButtons() override;
    void SetRange(int32_t range) override;
    int32_t GetRange() override;
    void SetPosition(int32_t position) override;
    int32_t GetPosition() override;
    void SetPage(int32_t page) override;
    int32_t GetPage() override;
    void SetStep(int32_t step) override;
    int32_t GetStep() override;
    void SetBackImage(IUIImage* image) override;
    IUIImage* GetBackImage() override;
    void SetUpUpImage(IUIImage* image) override;
    IUIImage* GetUpUpImage() override;
    void SetUpDownImage(IUIImage* image) override;
    IUIImage* GetUpDownImage() override;
    void SetUpHoverImage(IUIImage* image) override;
    IUIImage* GetUpHoverImage() override;
    void SetUpDisabledImage(IUIImage* image) override;
    IUIImage* GetUpDisabledImage() override;
    void SetDownUpImage(IUIImage* image) override;
    IUIImage* GetDownUpImage() override;
    void SetDownDownImage(IUIImage* image) override;
    IUIImage* GetDownDownImage() override;
    void SetDownHoverImage(IUIImage* image) override;
    IUIImage* GetDownHoverImage() override;
    void SetDownDisabledImage(IUIImage* image) override;
    IUIImage* GetDownDisabledImage() override;
    void SetBarUpImage(IUIImage* image) override;
    IUIImage* GetBarUpImage() override;
    void SetBarDownImage(IUIImage* image) override;
    IUIImage* GetBarDownImage() override;
    void SetBarHoverImage(IUIImage* image) override;
    IUIImage* GetBarHoverImage() override;
    void SetBarDisabledImage(IUIImage* image) override;
    IUIImage* GetBarDisabledImage() override;

private:
    CScrollBarCore m_core;
};

} // namespace DirectUI
} // namespace RVGameEngine
