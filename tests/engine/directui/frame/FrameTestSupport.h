#pragma once

#include "engine/directui/frame/IFrame.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace RVTest {

// Starts GDI+ and the frame window class once per test process.
void StartFrames();

// Dispatches every message waiting for this thread.
void PumpMessages();

// A new frame with a popup window (hidden) of the given size at x, y.
RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> MakeFrame(int x, int y, int width,
                                                                                   int height);

// One raised frame event with the fields of its record that tests look at.
struct FrameEvent
{
    int32_t id = -1;
    int32_t x = 0;
    int32_t y = 0;
    int32_t wheelSteps = 0;
    uint32_t value = 0; // key, character or hot-key id
    bool active = false;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Records every event a frame raises, in order.
class FrameEventRecorder
{
public:
    explicit FrameEventRecorder(RVGameEngine::DirectUI::IFrame* frame);
    ~FrameEventRecorder();
    FrameEventRecorder(const FrameEventRecorder&) = delete;
    FrameEventRecorder& operator=(const FrameEventRecorder&) = delete;

    const std::vector<FrameEvent>& Events() const { return m_events; }
    std::vector<int32_t> Ids() const;
    void Clear() { m_events.clear(); }

    template <int32_t Id>
    void On(void* sender, RVGameEngine::Common::tagEventArgs* args);

private:
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> m_frame;
    std::vector<FrameEvent> m_events;
};

} // namespace RVTest
