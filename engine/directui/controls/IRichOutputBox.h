#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The "RichOutputBox" control's interface. Its own operations arrive with the control.
class RV_API IRichOutputBox : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
