#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

class IUIWindow;

// Told when the mouse enters and leaves the window it listens to.
class RV_API IUIHoverListener
{
public:
    virtual void OnHoverEnter(IUIWindow* window) = 0;
    virtual void OnHoverLeave(IUIWindow* window) = 0;

protected:
    ~IUIHoverListener() = default;
};

} // namespace DirectUI
} // namespace RVGameEngine
