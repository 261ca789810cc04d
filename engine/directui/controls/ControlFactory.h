#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

// Registers the maker of every control of this library with the UI system,
// so that UI descriptions can name them. Engine start-up calls it; calling it
// again changes nothing.
RV_API void RegisterControls();

} // namespace DirectUI
} // namespace RVGameEngine
