#include "engine/directui/controls/CGlyphSizeCache.h"

#include "engine/directui/uisystem/IUISystemDriver.h"

namespace RVGameEngine {
namespace DirectUI {

void CGlyphSizeCache::Measure(IUISystemDriver* driver, int32_t font, wchar_t character, int32_t* width,
                              int32_t* height)
{
    *width = 0;
    *height = 0;
    if (driver == nullptr)
        return;
    if (driver != m_driver) {
        m_sizes.clear();
        m_driver = driver;
    }
    const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(font)) << 32) | static_cast<uint16_t>(character);
    auto found = m_sizes.find(key);
    if (found == m_sizes.end()) {
        const wchar_t text[2] = {character, L'\0'};
        tagSize size{0, 0};
        driver->MeasureText(font, text, &size.width, &size.height);
        found = m_sizes.emplace(key, size).first;
    }
    *width = found->second.width;
    *height = found->second.height;
}

} // namespace DirectUI
} // namespace RVGameEngine
