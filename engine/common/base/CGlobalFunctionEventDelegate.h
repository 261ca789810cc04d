#pragma once

#include "engine/common/base/IEventDelegate.h"

namespace RVGameEngine {
namespace Common {

using GlobalEventHandler = void (*)(void* sender, tagEventArgs* args);

// Calls one free function.
class RV_API CGlobalFunctionEventDelegate : public IEventDelegate
{
public:
    explicit CGlobalFunctionEventDelegate(GlobalEventHandler handler) : m_handler(handler) {}

    void Invoke(void* sender, tagEventArgs* args) override
    {
        if (m_handler != nullptr)
            m_handler(sender, args);
    }

    bool IsMemberFunctionDelegate() const override { return false; }
    const void* GetBoundObject() const override { return nullptr; }

private:
    GlobalEventHandler m_handler;
};

} // namespace Common
} // namespace RVGameEngine
