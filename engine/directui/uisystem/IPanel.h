#pragma once

#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// Event a panel raises when the wheel turns over it (sender: its IUIWindow),
// with tagWindowMouseWheelEventArgs.
constexpr int32_t kPanelMouseWheelEvent = 16;

// A container window; a typed handle without operations of its own.
class RV_API IPanel : public virtual IUIWindow
{
};

} // namespace DirectUI
} // namespace RVGameEngine
