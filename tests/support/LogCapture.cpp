#include "tests/support/LogCapture.h"

#include "engine/filesystem/ILogFile.h"

namespace RVTest {

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::kLogFileLogEvent;
using RVGameEngine::FileSystem::tagLogFileLogEventArgs;

namespace {
std::vector<std::pair<int, std::wstring>> g_lines;
}

LogCapture::LogCapture()
{
    g_lines.clear();
    ILogFile_GetInstance()->AddMemberFunctionDelegate(kLogFileLogEvent, this, &LogCapture::OnLog);
}

LogCapture::~LogCapture()
{
    ILogFile_GetInstance()->RemoveObjectDelegates(this);
}

std::vector<std::pair<int, std::wstring>> LogCapture::Lines()
{
    return g_lines;
}

void LogCapture::OnLog(void*, RVGameEngine::Common::tagEventArgs* args)
{
    auto* line = static_cast<tagLogFileLogEventArgs*>(args);
    const std::wstring message = line->message != nullptr ? line->message : L"";
    m_messages.push_back(message);
    g_lines.emplace_back(line->level, message);
    line->handled = true;
}

int LogCapture::CountContaining(const std::wstring& text) const
{
    int count = 0;
    for (const std::wstring& message : m_messages) {
        if (message.find(text) != std::wstring::npos)
            ++count;
    }
    return count;
}

} // namespace RVTest
