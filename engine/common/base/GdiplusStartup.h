#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// GDI+ for the whole process, shared by everything that draws or decodes
// with it: started by the first caller and never shut down, since shutting
// it down during exit could race other users. False while it does not start;
// a later call tries again.
RV_API bool StartGdiplus();

// While set, StartGdiplus fails as if GDI+ could not start (GDI+ already
// running is left alone), so that callers' failure paths can be checked.
RV_API void SetGdiplusStartupFailureForTesting(bool fail);

} // namespace Common
} // namespace RVGameEngine
