#pragma once

#include "engine/common/EventArgs.h"

#include <string>
#include <vector>

namespace DocumentsTest {

// Takes every engine log line while it lives, keeping it out of the log file
// and the console, and remembers the messages.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::wstring>& Messages() const { return m_messages; }
    // Messages that contain the text.
    int CountContaining(const std::wstring& text) const;

private:
    void OnLog(void* sender, RVGameEngine::Common::tagEventArgs* args);

    std::vector<std::wstring> m_messages;
};

} // namespace DocumentsTest
