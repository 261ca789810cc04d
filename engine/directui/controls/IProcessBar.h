#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// Shows a fraction from 0 to 1 as the left part of the background image.
class RV_API IProcessBar : public virtual IUIWindow
{
public:
    // Kept within 0 to 1.
    virtual void SetProgress(float progress) = 0;
    virtual float GetProgress() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
