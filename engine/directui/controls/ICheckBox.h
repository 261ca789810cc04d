#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The "CheckBox" control's interface. Its own operations arrive with the control.
class RV_API ICheckBox : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
