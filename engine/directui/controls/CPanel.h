#pragma once

#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/IPanel.h"

namespace RVGameEngine {
namespace DirectUI {

// A container that reports wheel turns and passes them to its wheel target.
class RV_API CPanel : public CUIWindow, public IPanel
{
public:
    void OnMouseWheel(int32_t steps) override;
};

} // namespace DirectUI
} // namespace RVGameEngine
