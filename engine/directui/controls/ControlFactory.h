#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

// Registers the maker of every control of this library with the UI system,
// so that UI descriptions can name them. Until it has run, the UI system
// makes no control at all, and loading a description builds nothing beneath
// the root. The engine's start-up calls it (beside the web library's
// RegisterWebControl); a program or test that builds UI without that start-up
// must call it itself before it loads a description or creates a control.
// Calling it again changes nothing.
RV_API void RegisterControls();

} // namespace DirectUI
} // namespace RVGameEngine
