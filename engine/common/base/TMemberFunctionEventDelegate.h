#pragma once

#include "engine/common/base/IEventDelegate.h"

namespace RVGameEngine {
namespace Common {

// Calls one member function of one object. The object is not reference
// counted by the delegate: it must outlive the subscription, or remove its
// delegates (CEventDelegateManager::RemoveObjectDelegates) before it ends.
template <typename T>
class TMemberFunctionEventDelegate : public IEventDelegate
{
public:
    using Handler = void (T::*)(void* sender, tagEventArgs* args);

    TMemberFunctionEventDelegate(T* object, Handler handler) : m_object(object), m_handler(handler) {}

    void Invoke(void* sender, tagEventArgs* args) override
    {
        if (m_object != nullptr && m_handler != nullptr)
            (m_object->*m_handler)(sender, args);
    }

    bool IsMemberFunctionDelegate() const override { return true; }
    const void* GetBoundObject() const override { return m_object; }

private:
    T* m_object;
    Handler m_handler;
};

} // namespace Common
} // namespace RVGameEngine
