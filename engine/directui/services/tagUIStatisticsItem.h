#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One counted key of the click statistics.
struct RV_API tagUIStatisticsItem : public Common::IReferenceCounted
{
    std::wstring Name;
    uint32_t Hits = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
