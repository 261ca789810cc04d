#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

// The process-wide owner of the frame window class and the message loop.
class RV_API IFrameManager : public Common::CEventDelegateManager
{
public:
    // Starts GDI+ and registers the frame window class "RVFRAME"; returns the
    // class atom, 0 on failure. Once, at engine start-up.
    virtual ATOM Initialize() = 0;
};

// Made on the first call (on the UI thread) and kept for the process's life;
// null only when it cannot be made.
RV_API IFrameManager* IFrameManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
