#include "engine/common/base/CEventDelegateManager.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CKeepAlive.h"

#include <vector>

namespace RVGameEngine {
namespace Common {

namespace {

IEventDelegate* AsDelegate(const TIntrusivePointer<IReferenceCounted>& element)
{
    return static_cast<IEventDelegate*>(element.Get());
}

// Hands visit the delegates of one event in the order they subscribed, while
// it returns true. The caller holds the list's lock.
template <typename Visit>
void VisitDelegatesOf(IVector* delegates, int32_t eventId, Visit visit)
{
    const int32_t count = delegates->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        TIntrusivePointer<IReferenceCounted> element = delegates->GetAt(static_cast<uint32_t>(i));
        IEventDelegate* eventDelegate = AsDelegate(element);
        if (eventDelegate != nullptr && eventDelegate->GetEventId() == eventId && !visit(eventDelegate))
            return;
    }
}

} // namespace

CEventDelegateManager::CEventDelegateManager() : m_delegates(IVector_Create())
{
}

CEventDelegateManager::~CEventDelegateManager() = default;

void CEventDelegateManager::Subscribe(int32_t eventId, IEventDelegate* eventDelegate)
{
    if (eventDelegate == nullptr || m_delegates.IsNull())
        return;
    eventDelegate->SetEventId(eventId);
    CAutoLock guard(&m_delegatesLock);
    m_delegates->Add(TIntrusivePointer<IReferenceCounted>(eventDelegate, true));
}

void CEventDelegateManager::Fire(int32_t eventId, void* sender, tagEventArgs* args)
{
    if (m_delegates.IsNull())
        return;
    CKeepAlive keepAlive(this);

    // The handlers may change the list; fire over a snapshot that keeps each
    // delegate alive until its turn has passed.
    std::vector<TIntrusivePointer<IEventDelegate>> snapshot;
    uint32_t removalsBefore = 0;
    {
        CAutoLock guard(&m_delegatesLock);
        VisitDelegatesOf(m_delegates.Get(), eventId, [&snapshot](IEventDelegate* eventDelegate) {
            snapshot.emplace_back(eventDelegate, true);
            return true;
        });
        removalsBefore = m_removals;
    }

    for (const TIntrusivePointer<IEventDelegate>& eventDelegate : snapshot) {
        // A handler removed during this firing may belong to an object that
        // has ended since: never call it.
        if (RemovedSince(removalsBefore, eventDelegate.Get()))
            continue;
        if (eventDelegate->GetEventId() != eventId)
            continue;
        eventDelegate->Invoke(sender, args);
    }
}

void CEventDelegateManager::RemoveObjectDelegates(const void* object)
{
    if (m_delegates.IsNull() || object == nullptr)
        return;
    // Taken out under the lock, released after it: a delegate's end may
    // reach back into this source.
    std::vector<TIntrusivePointer<IReferenceCounted>> removed;
    CAutoLock guard(&m_delegatesLock);
    for (int32_t i = m_delegates->GetCount() - 1; i >= 0; --i) {
        // The list may shrink under us when a delegate's end reaches back.
        if (i >= m_delegates->GetCount())
            continue;
        TIntrusivePointer<IReferenceCounted> element = m_delegates->GetAt(static_cast<uint32_t>(i));
        IEventDelegate* eventDelegate = AsDelegate(element);
        if (eventDelegate != nullptr && eventDelegate->IsMemberFunctionDelegate() &&
            eventDelegate->GetBoundObject() == object) {
            ++m_removals;
            removed.push_back(element);
            m_delegates->RemoveAt(static_cast<uint32_t>(i));
        }
    }
}

void CEventDelegateManager::RemoveAllDelegates()
{
    if (m_delegates.IsNull())
        return;
    CAutoLock guard(&m_delegatesLock);
    ++m_removals;
    m_delegates->Clear();
}

bool CEventDelegateManager::HasSubscriber(int32_t eventId)
{
    if (m_delegates.IsNull())
        return false;
    CAutoLock guard(&m_delegatesLock);
    bool found = false;
    VisitDelegatesOf(m_delegates.Get(), eventId, [&found](IEventDelegate*) {
        found = true;
        return false;
    });
    return found;
}

bool CEventDelegateManager::RemovedSince(uint32_t removalsBefore, const IEventDelegate* eventDelegate)
{
    CAutoLock guard(&m_delegatesLock);
    return m_removals != removalsBefore && !IsStillSubscribed(eventDelegate);
}

bool CEventDelegateManager::IsStillSubscribed(const IEventDelegate* eventDelegate)
{
    const int32_t count = m_delegates->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (m_delegates->GetAt(static_cast<uint32_t>(i)).Get() == eventDelegate)
            return true;
    }
    return false;
}

} // namespace Common
} // namespace RVGameEngine
