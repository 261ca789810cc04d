#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/CSimpleMessage.h"
#include "engine/common/base/ISimpleMessagePump.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <deque>

namespace RVGameEngine {
namespace Common {

class CSimpleMessagePump final : public ISimpleMessagePump
{
public:
    CSimpleMessagePump() = default;
    ~CSimpleMessagePump() override = default;

    void Post(const wchar_t* name, uint32_t value1, uint32_t value2,
              const wchar_t* text1, const wchar_t* text2) override;
    void Dispatch() override;

private:
    // The oldest message, or an empty pointer when the queue is empty.
    TIntrusivePointer<CSimpleMessage> TakeFirst();

    // Messages move in and out of the queue without touching their counts,
    // which are not atomic: only the lock orders the threads.
    std::deque<TIntrusivePointer<CSimpleMessage>> m_queue;
    CCriticalSection m_lock;
};

} // namespace Common
} // namespace RVGameEngine
