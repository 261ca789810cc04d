#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/directui/services/tagBuryPointRecord.h"

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Measures how long the player stays at a tracking point (a point id and a
// sub id carried by the clicked control) and hands out the closed stays in
// batches.
class RV_API IBuryPointHelper : public Common::CEventDelegateManager
{
public:
    enum EventId : int32_t
    {
        // A batch has filled; its sender is the helper and its record a plain
        // tagEventArgs. Handlers fetch the batch with GetRecords.
        BatchReady = 0,
    };

    ~IBuryPointHelper() override = default;

    // Opens, restarts or closes a stay (value is not used). A point id of 0
    // closes the open stay without opening another; forceNew closes the stay
    // even when the pair is the open one.
    virtual void Record(int32_t pointId, int32_t subId, int32_t value, int32_t forceNew) = 0;
    // A copy of the last full batch.
    virtual std::vector<tagBuryPointRecord> GetRecords() = 0;
    // The enabled flag is for the callers on the click road; Record works
    // whatever it says.
    virtual void SetOptions(bool enabled, int32_t batchSize) = 0;
    virtual bool IsEnabled() = 0;
};

// Made on the engine heap at the first call and never destroyed; null only
// when memory runs out.
RV_API IBuryPointHelper* IBuryPointHelper_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
