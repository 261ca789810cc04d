#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// A window that shows its title; a typed handle without operations of its own.
class RV_API ILabel : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
