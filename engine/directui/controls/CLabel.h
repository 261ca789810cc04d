#pragma once

#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/controls/ILabel.h"

namespace RVGameEngine {
namespace DirectUI {

// Shows its title from its top-left corner unless told otherwise.
class RV_API CLabel : public CUIWindow, public ILabel
{
public:
    CLabel();
};

} // namespace DirectUI
} // namespace RVGameEngine
