#include "engine/directui/controls/TextInputRules.h"

#include "engine/directui/uisystem/IUISystemDriver.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

int32_t CharWeight(wchar_t character)
{
    return character < kFirstWideChar ? 1 : 2;
}

int32_t TextWeight(const std::wstring& text)
{
    int32_t weight = 0;
    for (wchar_t character : text)
        weight += CharWeight(character);
    return weight;
}

int32_t ClampCharLimit(int32_t limit)
{
    return limit < kMaxCharLimit ? limit : kMaxCharLimit;
}

tagModifierKeys ReadModifierKeys(IUISystemDriver* driver)
{
    tagModifierKeys keys;
    if (driver == nullptr)
        return keys;
    keys.ctrl = driver->IsKeyDown(VK_CONTROL);
    keys.shift = driver->IsKeyDown(VK_SHIFT);
    keys.alt = driver->IsKeyDown(VK_MENU);
    return keys;
}

} // namespace DirectUI
} // namespace RVGameEngine
