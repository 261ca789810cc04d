#pragma once

#include "engine/filesystem/ILogFile.h"

#include <string>
#include <utility>
#include <vector>

namespace SystemTests {

// Takes every line given to the engine log while it lives (the lines are
// kept out of the file).
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // (level, message) in order.
    static std::vector<std::pair<int, std::wstring>> Lines();

private:
    static void Take(void* sender, RVGameEngine::Common::tagEventArgs* args);
};

} // namespace SystemTests
