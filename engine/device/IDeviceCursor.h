#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

namespace RVGameEngine {
namespace Device {

// A cursor that a set-cursor handler hands back for the device window to
// show. The UI toolkit's cursors, which sit above the game runtime, implement
// it, so the device never needs to know their type.
class RV_API IDeviceCursor : public Common::IReferenceCounted
{
public:
    virtual void Apply() = 0;
};

} // namespace Device
} // namespace RVGameEngine
