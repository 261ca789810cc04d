#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

class IUISystemDriver;

// Rules the text-input controls share.
constexpr int32_t kDefaultCharLimit = 1000;
constexpr int32_t kMaxCharLimit = 2000;
// Characters from here on count twice against a limit (they show double width).
constexpr wchar_t kFirstWideChar = 0x0100;
// Below this a typed character is a control character and never inserted.
constexpr wchar_t kFirstPrintableChar = 0x0020;

RV_API int32_t CharWeight(wchar_t character);
RV_API int32_t TextWeight(const std::wstring& text);
// A limit as the boxes store it: at most kMaxCharLimit, no lower bound.
RV_API int32_t ClampCharLimit(int32_t limit);

// The modifier keys as the driver sees them now.
struct RV_API tagModifierKeys
{
    bool ctrl = false;
    bool shift = false;
    bool alt = false;

    bool CtrlOnly() const { return ctrl && !shift && !alt; }
};

RV_API tagModifierKeys ReadModifierKeys(IUISystemDriver* driver);

} // namespace DirectUI
} // namespace RVGameEngine
