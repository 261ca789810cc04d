#include "engine/directui/uisystem/UIColorFunctions.h"

#include "engine/common/base/ColorFunctions.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

// A channel written beyond a byte's range means as much of it as there is.
uint8_t Channel(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

} // namespace

tagColor ParseUIColor(const wchar_t* text)
{
    int alpha = 255, red = 0, green = 0, blue = 0;
    Common::ParseColorString(text, alpha, red, green, blue);
    return tagColor(Channel(red), Channel(green), Channel(blue), Channel(alpha));
}

} // namespace DirectUI
} // namespace RVGameEngine
