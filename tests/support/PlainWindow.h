#pragma once

#include <windows.h>

#include "engine/common/base/TScopedHandle.h"

namespace RVTest {

// The tests' own window class: its procedure is the system's default.
constexpr wchar_t kPlainWindowClass[] = L"RVTestPlainWindow";

// A bare top-level tool window of that class, shown or hidden, where the
// test puts it (screen coordinates), for tests that look for windows or send
// them messages; null when it cannot be made.
RVGameEngine::Common::CScopedWindow MakePlainWindow(const wchar_t* title, bool visible, const RECT& place,
                                                    DWORD extendedStyle = 0);

} // namespace RVTest
