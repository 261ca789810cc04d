#include "engine/directui/controls/CPanel.h"

#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

void CPanel::OnMouseWheel(int32_t steps)
{
    if (!IsVisible() || !IsEnabled())
        return;
    tagWindowMouseWheelEventArgs args;
    args.steps = steps;
    Fire(kPanelMouseWheelEvent, AsWindow(), &args);
    ForwardWheel(steps);
}

} // namespace DirectUI
} // namespace RVGameEngine
