#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>
#include <unordered_map>

namespace RVGameEngine {
namespace DirectUI {

class IUISystemDriver;

// Sizes of one-character texts as a driver measures them, kept per font.
// Controls that lay text out a character at a time measure each distinct
// character once instead of once per position and per walk.
class RV_API CGlyphSizeCache
{
public:
    // The size of the one-character text; the character 0 stands for the
    // empty text. Switching to another driver forgets what was measured.
    void Measure(IUISystemDriver* driver, int32_t font, wchar_t character, int32_t* width, int32_t* height);
    void Clear() { m_sizes.clear(); }

private:
    struct tagSize
    {
        int32_t width;
        int32_t height;
    };

    IUISystemDriver* m_driver = nullptr;
    std::unordered_map<uint64_t, tagSize> m_sizes;
};

} // namespace DirectUI
} // namespace RVGameEngine
