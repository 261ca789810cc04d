#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

class CUIWindow;

// A new control for a UI description's element name (compared exactly), or
// null for a name that is no control type or whose control is not built in.
CUIWindow* CreateControlByElementName(const wchar_t* elementName);

using ControlMaker = CUIWindow* (*)();

// Gives a known element name its maker, for control types that live in a
// library above this one (the web control). Unknown names are refused.
RV_API bool RegisterControlMaker(const wchar_t* elementName, ControlMaker make);

} // namespace DirectUI
} // namespace RVGameEngine
