#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/ControlFactory.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"
#include "tests/support/MessagePump.h"

#include <windows.h>

// The toolkit's controls, registered before any test runs, as engine
// start-up registers them in the program (the web control registers itself
// in the tests that make it).
inline const bool g_controlsRegistered = (RVGameEngine::DirectUI::RegisterControls(), true);

namespace RVTest {

// A shown top-level frame to host browsers (a browser's window can only be
// visible inside a visible host), and OLE for the test thread.
struct WebTestHost
{
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> frame;
    WebTestHost()
    {
        static const ATOM registered = RVGameEngine::DirectUI::IFrameManager_GetInstance()->Initialize();
        (void)registered;
        OleInitialize(nullptr);
        frame = RVGameEngine::DirectUI::IFrame_Create();
        frame->Create(nullptr, WS_POPUP, 0);
        frame->Move(0, 0, 400, 300);
        // Not activated: under Wine an activated window takes seconds to go.
        ShowWindow(frame->GetHandle(), SW_SHOWNOACTIVATE);
    }
    ~WebTestHost()
    {
        frame->Destroy();
        frame.Reset();
        OleUninitialize();
    }
    WebTestHost(const WebTestHost&) = delete;
    WebTestHost& operator=(const WebTestHost&) = delete;
};


} // namespace RVTest
