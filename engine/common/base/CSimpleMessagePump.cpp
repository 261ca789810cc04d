#include "engine/common/base/CSimpleMessagePump.h"

#include "engine/common/base/CAutoLock.h"

#include <utility>

namespace RVGameEngine {
namespace Common {

namespace {

CSimpleMessagePump* MakeInstance()
{
    static CSimpleMessagePump instance;
    // A reference of its own keeps callers' pointer pairs from ever
    // deleting the static object.
    instance.AddRef();
    return &instance;
}

} // namespace

ISimpleMessagePump* ISimpleMessagePump_GetInstance()
{
    static CSimpleMessagePump* const instance = MakeInstance();
    return instance;
}

void CSimpleMessagePump::Post(const wchar_t* name, uint32_t value1, uint32_t value2,
                              const wchar_t* text1, const wchar_t* text2)
{
    TIntrusivePointer<CSimpleMessage> message(new CSimpleMessage(name, value1, value2, text1, text2));
    CAutoLock lock(&m_lock);
    m_queue.push_back(std::move(message));
}

TIntrusivePointer<CSimpleMessage> CSimpleMessagePump::TakeFirst()
{
    CAutoLock lock(&m_lock);
    if (m_queue.empty())
        return TIntrusivePointer<CSimpleMessage>();
    TIntrusivePointer<CSimpleMessage> message = std::move(m_queue.front());
    m_queue.pop_front();
    return message;
}

void CSimpleMessagePump::Dispatch()
{
    // The lock is held only while taking a message: handlers run without it
    // and may post, and what they post is delivered by this same loop.
    for (;;) {
        TIntrusivePointer<CSimpleMessage> message = TakeFirst();
        if (message.IsNull())
            return;
        tagSimpleMessagePumpSimpleMessageReceivedEventArgs args;
        args.name = message->m_name.c_str();
        args.value1 = message->m_value1;
        args.value2 = message->m_value2;
        args.text1 = message->m_text1.c_str();
        args.text2 = message->m_text2.c_str();
        Fire(SimpleMessageReceived, this, &args);
    }
}

} // namespace Common
} // namespace RVGameEngine
