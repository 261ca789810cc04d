#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One line of an output box, placed in content pixels.
struct tagOutputBoxLine : public Common::IReferenceCounted
{
    int32_t y = 0;
    int32_t height = 0;
    std::wstring fontName;
    int32_t font = 0;
    tagColor color{255, 255, 255, 255};
    std::wstring text;
};

} // namespace DirectUI
} // namespace RVGameEngine
