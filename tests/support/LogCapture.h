#pragma once

#include "engine/common/base/EventArgs.h"

#include <string>
#include <utility>
#include <vector>

namespace RVTest {

// Takes every engine log line while it lives, keeping it out of the log file
// and the console, and remembers the lines.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Messages taken by this capture, in order.
    const std::vector<std::wstring>& Messages() const { return m_messages; }
    // Messages that contain the text.
    int CountContaining(const std::wstring& text) const;

    // (level, message) taken by the newest capture, in order; still readable
    // after that capture has gone.
    static std::vector<std::pair<int, std::wstring>> Lines();

private:
    void OnLog(void* sender, RVGameEngine::Common::tagEventArgs* args);

    std::vector<std::wstring> m_messages;
};

} // namespace RVTest
