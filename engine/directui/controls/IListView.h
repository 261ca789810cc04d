#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The "ListView" control's interface. Its own operations arrive with the control.
class RV_API IListView : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
