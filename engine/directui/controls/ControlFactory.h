#pragma once

namespace RVGameEngine {
namespace DirectUI {

class CUIWindow;

// A new control for a UI description's element name (compared exactly), or
// null for a name that is no control type or whose control is not built in.
CUIWindow* CreateControlByElementName(const wchar_t* elementName);

} // namespace DirectUI
} // namespace RVGameEngine
