#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <vector>

namespace RVGameEngine {
namespace WebUI {

// Lets go of browser objects from the message loop, never inside one of their
// notifications. It posts to a message-only window of its own, which outlives
// every browser and its frame (a handler may close the window that hosts the
// browser it is told by), and holds each browser until its turn has come.
// Made on first use on the UI thread; kept until the process ends.
class CBrowserTeardownQueue
{
public:
    // Tears down what the browser let go of; false, doing nothing, while one
    // of its notifications is still being delivered.
    using TeardownFunction = bool (*)(Common::IReferenceCounted* browser);

    static CBrowserTeardownQueue& GetInstance();

    // Holds the browser until a turn of the message loop in which the
    // function could tear down what it let go of. False when no turn could be
    // asked for: the browser is still held, and a later call asks again.
    bool Schedule(Common::IReferenceCounted* browser, TeardownFunction tearDown);
    bool IsScheduled(const Common::IReferenceCounted* browser) const;

private:
    struct tagPending
    {
        Common::TIntrusivePointer<Common::IReferenceCounted> browser;
        TeardownFunction tearDown;
    };

    CBrowserTeardownQueue();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunPending();

    Common::CScopedWindow m_window;
    // Registered, so that no other message of the process shares its number.
    UINT m_message = 0;
    bool m_posted = false;
    std::vector<tagPending> m_pending;
};

} // namespace WebUI
} // namespace RVGameEngine
