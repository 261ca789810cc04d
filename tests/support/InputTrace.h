#pragma once

#include <windows.h>

#include <string>

#include "engine/common/base/TScopedHandle.h"

namespace RVTest {

// Keeps, while it lives, the last messages of one thread of this process
// that decide where a click goes: the mouse buttons and moves its windows
// take from the queue, and the activation, focus, capture and cancel-mode
// messages sent to them. A window step that gives up shows them
// (ReportStepGivenUp), so that a click that went nowhere says where it went.
// One trace at a time in a process.
class CInputTrace {
public:
    // Traces the calling thread.
    CInputTrace();
    ~CInputTrace();

    CInputTrace(const CInputTrace&) = delete;
    CInputTrace& operator=(const CInputTrace&) = delete;

private:
    RVGameEngine::Common::CScopedWindowsHook m_taken;
    RVGameEngine::Common::CScopedWindowsHook m_sent;
};

// The traced messages, oldest first, one a line with the milliseconds since
// the trace began; empty when no trace runs.
std::wstring DescribeInputTrace();

} // namespace RVTest
