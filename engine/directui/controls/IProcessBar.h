#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The "ProcessBar" control's interface. Its own operations arrive with the control.
class RV_API IProcessBar : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
