#include "LogCapture.h"

namespace SystemTests {

namespace {
std::vector<std::pair<int, std::wstring>> g_lines;
}

LogCapture::LogCapture()
{
    g_lines.clear();
    RVGameEngine::FileSystem::ILogFile_GetInstance()->AddGlobalFunctionDelegate(
        RVGameEngine::FileSystem::kLogFileLogEvent, &LogCapture::Take);
}

LogCapture::~LogCapture()
{
    RVGameEngine::FileSystem::ILogFile_GetInstance()->RemoveAllDelegates();
}

std::vector<std::pair<int, std::wstring>> LogCapture::Lines()
{
    return g_lines;
}

void LogCapture::Take(void*, RVGameEngine::Common::tagEventArgs* args)
{
    auto* line = static_cast<RVGameEngine::FileSystem::tagLogFileLogEventArgs*>(args);
    g_lines.emplace_back(line->level, line->message != nullptr ? line->message : L"");
    line->handled = true;
}

} // namespace SystemTests
