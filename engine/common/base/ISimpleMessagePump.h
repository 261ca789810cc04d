#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Raised once per message by Dispatch, with the pump as sender. The texts
// belong to the message and stay valid until the handler returns.
struct RV_API tagSimpleMessagePumpSimpleMessageReceivedEventArgs : public tagEventArgs
{
    const wchar_t* name = L"";
    uint32_t value1 = 0;
    uint32_t value2 = 0;
    const wchar_t* text1 = L"";
    const wchar_t* text2 = L"";
};

// A process-wide, thread-safe queue of small named messages, for work that
// must wait for a safe point (an object deleting itself, for one). Any thread
// may post; whoever calls Dispatch raises the events, on its own thread.
class RV_API ISimpleMessagePump : public CEventDelegateManager
{
public:
    enum EventId : int32_t
    {
        SimpleMessageReceived = 0,
    };

    ~ISimpleMessagePump() override = default;

    // Null texts are posted as empty texts.
    virtual void Post(const wchar_t* name, uint32_t value1, uint32_t value2,
                      const wchar_t* text1, const wchar_t* text2) = 0;
    // Delivers every queued message in posting order, including those that
    // handlers post meanwhile; returns when the queue is empty.
    virtual void Dispatch() = 0;
};

// The one pump. It is never deleted through its reference count, so callers
// may hold it in intrusive pointers.
RV_API ISimpleMessagePump* ISimpleMessagePump_GetInstance();

} // namespace Common
} // namespace RVGameEngine
