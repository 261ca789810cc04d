#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The row-oriented list: it answers to IListView for its operations and
// events; this is only the typed handle that tells it from a plain list.
class RV_API IListViewEx : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
