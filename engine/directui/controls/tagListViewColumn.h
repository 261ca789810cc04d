#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One column of a list view: its whole width (gap included), its key, the
// title shown in the title band, colours, data font and the owner's value.
struct RV_API tagListViewColumn : public Common::IReferenceCounted
{
    int32_t width = 0;
    std::wstring name;
    std::wstring title;
    tagColor titleColor{255, 255, 255, 255};
    tagColor dataColor{255, 255, 255, 255};
    int32_t font = 0;
    int32_t userValue = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
