#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Counts the player's clicks per key text (module, frame part and window
// name). A plain process-wide service: no reference count, never destroyed.
class RV_API IUIStatisticsManager
{
public:
    // Adds one hit to the key; keys compare exactly, case included. A null
    // key is ignored.
    virtual void Record(const wchar_t* key) = 0;
    virtual int32_t GetItemCount() = 0;
    // The key of an item, valid for the life of the process; "" for an index
    // out of range.
    virtual const wchar_t* GetItemName(int32_t index) = 0;
    // The hits of an item; 0 for an index out of range.
    virtual uint32_t GetItemHits(int32_t index) = 0;

protected:
    // Nobody deletes the service through its interface.
    ~IUIStatisticsManager() = default;
};

// Made on the engine heap at the first call; null only when memory runs out.
RV_API IUIStatisticsManager* IUIStatisticsManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
