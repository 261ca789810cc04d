#pragma once

#include "engine/directui/controls/IProcessBar.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// Shows the left part of its background image, as wide as the fraction of
// its own width; the picture is never scaled.
class RV_API CProcessBar : public CUIWindow, public IProcessBar
{
public:
    // The window's own handler table.
    void OnPaint() override;

    // IUIWindow
    // Keeps the picture: the bar has no images of its own to let go.
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // IProcessBar
    // Not a number counts as 0.
    void SetProgress(float progress) override;
    float GetProgress() override;

private:
    // The width shown for the fraction, within 0 and the window's width
    // whatever the description stored.
    int32_t ShownWidth();

    float m_progress = 0.0f;
};

} // namespace DirectUI
} // namespace RVGameEngine
