#pragma once

#include "engine/directui/controls/IScrollBar.h"
#include "engine/directui/controls/TScrollBarWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The vertical scroll bar: up arrow at the top, down arrow at the bottom,
// the thumb on the track between them.
class RV_API CScrollBar : public TScrollBarWindow<IScrollBar, tagScrollBarScrolledEventArgs>
{
public:
    CScrollBar();

    // IUIWindow
    // Releases the track and thumb pictures; the arrows keep theirs.
    void ResetBackgroundImage() override;

    // IScrollBar
    void RaiseScrolled() override { TScrollBarWindow::RaiseScrolled(); }
    void CreateButtons() override { TScrollBarWindow::CreateButtons(); }
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
};

} // namespace DirectUI
} // namespace RVGameEngine
