#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The "HScrollBar" control's interface. Its own operations arrive with the control.
class RV_API IHScrollBar : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
