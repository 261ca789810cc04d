#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// One subscribed handler. The event id is -1 until the delegate is
// subscribed. Handlers receive the sender as an untyped pointer (each event
// source documents what it passes) and the event's argument record.
class RV_API IEventDelegate : public IReferenceCounted
{
public:
    virtual void Invoke(void* sender, tagEventArgs* args) = 0;
    virtual bool IsMemberFunctionDelegate() const = 0;
    // The object a member-function delegate calls, null for a free function;
    // removal by object compares against it.
    virtual const void* GetBoundObject() const = 0;

    int32_t GetEventId() const { return m_eventId; }
    void SetEventId(int32_t eventId) { m_eventId = eventId; }

private:
    int32_t m_eventId = -1;
};

} // namespace Common
} // namespace RVGameEngine
