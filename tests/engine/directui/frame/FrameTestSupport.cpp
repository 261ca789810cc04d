#include "tests/engine/directui/frame/FrameTestSupport.h"

#include "tests/support/MessagePump.h"

#include "engine/directui/frame/IFrameManager.h"

#include <utility>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;

namespace RVTest {

void StartFrames()
{
    // A second Initialize in the process only fails to register the class
    // again, which is harmless here.
    static const ATOM atom = IFrameManager_GetInstance()->Initialize();
    (void)atom;
}

void PumpMessages()
{
    RVTest::DeliverPostedMessages();
}

Common::TIntrusivePointer<IFrame> MakeFrame(int x, int y, int width, int height)
{
    StartFrames();
    Common::TIntrusivePointer<IFrame> frame = IFrame_Create();
    frame->Create(nullptr, WS_POPUP, 0);
    frame->Move(x, y, width, height);
    return frame;
}

template <int32_t Id>
void FrameEventRecorder::On(void*, Common::tagEventArgs* args)
{
    FrameEvent event;
    event.id = Id;
    if (auto* key = dynamic_cast<tagFrameKeyEventArgs*>(args))
        event.value = key->virtualKey;
    if (auto* character = dynamic_cast<tagFrameCharEventArgs*>(args))
        event.value = character->character;
    if (auto* hotKey = dynamic_cast<tagFrameHotKeyEventArgs*>(args))
        event.value = hotKey->hotKeyId;
    if (auto* mouse = dynamic_cast<tagFrameMouseEventArgs*>(args)) {
        event.x = mouse->x;
        event.y = mouse->y;
        event.wheelSteps = mouse->wheelSteps;
    }
    if (auto* activate = dynamic_cast<tagFrameActivateEventArgs*>(args))
        event.active = activate->active;
    if (auto* any = dynamic_cast<tagFrameAnyMsgEventArgs*>(args)) {
        event.message = any->message;
        event.wParam = any->wParam;
        event.lParam = any->lParam;
    }
    m_events.push_back(event);
}

namespace {

template <int32_t... Ids>
void SubscribeAll(IFrame* frame, FrameEventRecorder* recorder, std::integer_sequence<int32_t, Ids...>)
{
    (frame->AddMemberFunctionDelegate<FrameEventRecorder>(Ids, recorder, &FrameEventRecorder::On<Ids>), ...);
}

} // namespace

FrameEventRecorder::FrameEventRecorder(IFrame* frame) : m_frame(frame)
{
    SubscribeAll(frame, this, std::make_integer_sequence<int32_t, 27>());
}

FrameEventRecorder::~FrameEventRecorder()
{
    m_frame->RemoveObjectDelegates(this);
}

std::vector<int32_t> FrameEventRecorder::Ids() const
{
    std::vector<int32_t> ids;
    for (const FrameEvent& event : m_events)
        ids.push_back(event.id);
    return ids;
}

} // namespace RVTest
