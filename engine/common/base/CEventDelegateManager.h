#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/CGlobalFunctionEventDelegate.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IEventDelegate.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IVector.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TMemberFunctionEventDelegate.h"

#include <cstdint>
#include <new>

namespace RVGameEngine {
namespace Common {

// Base of every event source. Handlers subscribe per integer event id; Fire
// calls the handlers of one id synchronously, in subscription order.
//
// Handlers may subscribe, remove delegates, or drop the last reference to
// the source while it fires: a firing calls only the delegates that were
// subscribed when it began and are still subscribed when their turn comes,
// and the source stays alive until Fire returns. Subscribing and removing are
// safe while other threads fire: the list is locked, the handlers are called
// outside the lock.
class RV_API CEventDelegateManager : public IReferenceCounted
{
public:
    CEventDelegateManager();
    ~CEventDelegateManager() override;

    CEventDelegateManager(const CEventDelegateManager&) = delete;
    CEventDelegateManager& operator=(const CEventDelegateManager&) = delete;

    // Appends the delegate for the id; the manager takes a reference (a
    // delegate made with new ends up owned by the manager). Null is ignored.
    // Subscribing one handler twice makes it run twice.
    void Subscribe(int32_t eventId, IEventDelegate* eventDelegate);

    void AddGlobalFunctionDelegate(int32_t eventId, GlobalEventHandler handler)
    {
        Subscribe(eventId, new (std::nothrow) CGlobalFunctionEventDelegate(handler));
    }

    template <typename T>
    void AddMemberFunctionDelegate(int32_t eventId, T* object, typename TMemberFunctionEventDelegate<T>::Handler handler)
    {
        Subscribe(eventId, new (std::nothrow) TMemberFunctionEventDelegate<T>(object, handler));
    }

    void Fire(int32_t eventId, void* sender, tagEventArgs* args);

    // Removes, last first, every member-function delegate bound to the object
    // (compared with the pointer the delegates were made with).
    void RemoveObjectDelegates(const void* object);
    // Removes every delegate of every event id.
    void RemoveAllDelegates();

    bool HasSubscriber(int32_t eventId);

private:
    bool RemovedSince(uint32_t removalsBefore, const IEventDelegate* eventDelegate);
    bool IsStillSubscribed(const IEventDelegate* eventDelegate);

    TIntrusivePointer<IVector> m_delegates;
    CCriticalSection m_delegatesLock;
    // Counts removals, so that a firing knows whether it must check that a
    // delegate of its snapshot is still subscribed.
    uint32_t m_removals = 0;
};

} // namespace Common
} // namespace RVGameEngine
