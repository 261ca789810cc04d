#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

class CUIWindow;

// The UI system makes controls by the element names of UI descriptions. It
// knows every control type's name, but the controls live in the toolkit's
// parts above it (and the web control above the toolkit): each registers its
// maker when the engine starts.

using ControlMaker = CUIWindow* (*)();

// A new control for a UI description's element name (compared exactly), or
// null for a name that is no control type or whose maker is not registered;
// the first miss of each registered-later type is logged with the call that
// registers it.
CUIWindow* CreateControlByElementName(const wchar_t* elementName);

// Gives a known element name its maker. Unknown names are refused.
RV_API bool RegisterControlMaker(const wchar_t* elementName, ControlMaker make);

} // namespace DirectUI
} // namespace RVGameEngine
