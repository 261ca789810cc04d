#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace Common {

// Base of every event-argument record. Records are built on the raiser's
// stack and live for one Fire; records through which a handler answers
// (cancel, accept, handled) carry their own fields.
struct RV_API tagEventArgs
{
    virtual ~tagEventArgs() = default;
};

} // namespace Common
} // namespace RVGameEngine
