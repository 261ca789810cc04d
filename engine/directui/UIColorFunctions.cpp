#include "engine/directui/UIColorFunctions.h"

#include "engine/common/base/ColorFunctions.h"

namespace RVGameEngine {
namespace DirectUI {

tagColor ParseUIColor(const wchar_t* text)
{
    int alpha = 255, red = 0, green = 0, blue = 0;
    Common::ParseColorString(text, alpha, red, green, blue);
    return tagColor(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue),
                    static_cast<uint8_t>(alpha));
}

} // namespace DirectUI
} // namespace RVGameEngine
