#include "tests/engine/filesystem/documents/LogCapture.h"

#include "engine/filesystem/ILogFile.h"

namespace DocumentsTest {

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::kLogFileLogEvent;
using RVGameEngine::FileSystem::tagLogFileLogEventArgs;

LogCapture::LogCapture()
{
    ILogFile_GetInstance()->AddMemberFunctionDelegate(kLogFileLogEvent, this, &LogCapture::OnLog);
}

LogCapture::~LogCapture()
{
    ILogFile_GetInstance()->RemoveObjectDelegates(this);
}

void LogCapture::OnLog(void*, RVGameEngine::Common::tagEventArgs* args)
{
    auto* line = static_cast<tagLogFileLogEventArgs*>(args);
    m_messages.push_back(line->message != nullptr ? line->message : L"");
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

} // namespace DocumentsTest
