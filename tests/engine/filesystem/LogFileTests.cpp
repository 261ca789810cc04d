#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/common/Console.h"
#include "engine/common/EngineStartup.h"
#include "engine/filesystem/CLogFile.h"
#include "engine/filesystem/ScrambleKeys.h"
#include "tests/support/FixedLocalTime.h"

#include <regex>
#include <thread>

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;

namespace {

const SYSTEMTIME kMarchSeventh = {2021, 3, 0, 7, 9, 5, 3, 7};
const std::wstring kStamp = L"2021-03-07 09:05:03 007: ";

// The file's UTF-16 units after the byte-order mark (which must be there),
// unscrambled with the key when one is given.
std::wstring LogText(const std::wstring& path, wchar_t key = 0)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    if (bytes.size() < 2 || bytes.substr(0, 2) != "\xFF\xFE")
        return L"<no byte-order mark>";
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    for (wchar_t& unit : text)
        unit = static_cast<wchar_t>(unit ^ key);
    return text;
}

struct SeenLine
{
    int32_t level;
    std::wstring message;
    std::wstring line;
};

std::vector<SeenLine> g_seen;

void RecordAndHideSecrets(void*, tagEventArgs* args)
{
    auto* logArgs = static_cast<tagLogFileLogEventArgs*>(args);
    g_seen.push_back({logArgs->level, logArgs->message, logArgs->line});
    if (std::wstring(logArgs->message).find(L"secret") != std::wstring::npos)
        logArgs->handled = true;
}

class LogFile : public FileSystemTest::FileSystemTestBase
{
protected:
    // A log of its own (the process-wide one is made once) opened in the
    // test's folder at a fixed time; lines are stamped with that time too.
    LogFile() : m_log(new CLogFile())
    {
        g_seen.clear();
        EXPECT_TRUE(m_log->OpenRunFile());
    }

    // Closes the log and gives its lines (CRLF-ended, each checked).
    std::vector<std::wstring> ClosedLines()
    {
        const std::wstring text = LogText(m_log->GetFileName());
        EXPECT_TRUE(m_log->Close());
        std::vector<std::wstring> lines;
        size_t start = 0;
        for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        if (start != text.size())
            lines.push_back(L"<unterminated>" + text.substr(start));
        return lines;
    }

    RVTest::FixedLocalTime m_time{kMarchSeventh};
    TIntrusivePointer<CLogFile> m_log;
};

} // namespace

TEST_F(LogFile, FileNameFollowsTheModuleAndTheLocalTimeAndLinesCarryLevelTimeAndMessage)
{
    EXPECT_EQ(CLogFile::MakeFileName(L"Setup", kMarchSeventh), L"./ReadWrite/Log/Setup/Setup_20210307_090503_007.log");
    const std::wstring name = CLogFile::MakeFileName(GetModuleName(), kMarchSeventh);
    EXPECT_EQ(m_log->GetFileName(), name);
    EXPECT_EQ(RVTest::ReadWholeFile(name), "\xFF\xFE");

    m_log->Log(LOG_LEVEL_WARNING, L"%d files", 3);
    m_log->Log(LOG_LEVEL_TRACE, L"path %s", L"C:\\x");
    m_log->Log(LOG_LEVEL_ERROR, L"100%% broken");
    m_log->Log(7, L"odd level");
    EXPECT_EQ(ClosedLines(), (std::vector<std::wstring>{L"Warning: " + kStamp + L"3 files",
                                                        L"Trace: " + kStamp + L"path C:\\x",
                                                        L"Error: " + kStamp + L"100% broken",
                                                        L"Trace: " + kStamp + L"odd level"}));
    EXPECT_FALSE(m_log->Close()) << "nothing left to close";
    m_log->Log(LOG_LEVEL_TRACE, L"after close");
    EXPECT_EQ(LogText(name).find(L"after close"), std::wstring::npos);
}

TEST_F(LogFile, AHandlerSeesEveryLineAndMaySuppressIt)
{
    m_log->AddGlobalFunctionDelegate(kLogFileLogEvent, RecordAndHideSecrets);
    m_log->Log(LOG_LEVEL_ERROR, L"a secret %d", 42);
    m_log->Log(LOG_LEVEL_TRACE, L"public");
    EXPECT_EQ(ClosedLines(), std::vector<std::wstring>{L"Trace: " + kStamp + L"public"});
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].level, LOG_LEVEL_ERROR);
    EXPECT_EQ(g_seen[0].message, L"a secret 42");
    EXPECT_EQ(g_seen[0].line, L"Error: " + kStamp + L"a secret 42\r\n");
}

TEST_F(LogFile, TwoThreadsWriteWholeLines)
{
    auto writer = [this](int thread) {
        for (int i = 0; i < 1000; ++i)
            m_log->Log(LOG_LEVEL_TRACE, L"thread %d line %d of the run", thread, i);
    };
    std::thread first(writer, 1);
    std::thread second(writer, 2);
    first.join();
    second.join();
    const std::vector<std::wstring> lines = ClosedLines();
    ASSERT_EQ(lines.size(), 2000u);
    const std::wregex whole(L"Trace: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\d{3}: thread [12] line \\d+ of the run");
    int firstThread = 0;
    for (const std::wstring& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << "torn line";
        firstThread += line.find(L"thread 1") != std::wstring::npos ? 1 : 0;
    }
    EXPECT_EQ(firstThread, 1000);
}

using LogFileWithoutFolder = FileSystemTest::FileSystemTestBase;

TEST_F(LogFileWithoutFolder, AnUnwritableFolderLeavesTheRunWithoutAFile)
{
    // A file where the log folder should be: the folder cannot be made.
    ASSERT_TRUE(RVTest::WriteWholeFile(L"ReadWrite", "in the way"));
    TIntrusivePointer<CLogFile> log(new CLogFile());
    EXPECT_FALSE(log->OpenRunFile());
    EXPECT_EQ(log->GetFileName(), L"");
    log->Log(LOG_LEVEL_ERROR, L"still alive");
    log->Flush();
    EXPECT_FALSE(log->Close());
    EXPECT_EQ(RVTest::ReadWholeFile(L"ReadWrite"), "in the way");
}

TEST_F(LogFile, OverlongLinesAreCutButStillEndTheLine)
{
    m_log->Log(LOG_LEVEL_TRACE, L"%s", std::wstring(20000, L'h').c_str());
    m_log->Log(LOG_LEVEL_TRACE, L"next");
    const std::vector<std::wstring> lines = ClosedLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), static_cast<size_t>(CLogFile::kLineCapacity - 3));
    EXPECT_EQ(lines[1], L"Trace: " + kStamp + L"next");
}

TEST_F(LogFile, ScrambledLinesFollowAPlainByteOrderMark)
{
    m_log->SetFlag(true);
    m_log->SetSecondFlag();
    m_log->Log(LOG_LEVEL_TRACE, L"hidden");
    const std::wstring name = m_log->GetFileName();
    m_log->Close();
    EXPECT_EQ(LogText(name, kLogScrambleKey), L"Trace: " + kStamp + L"hidden\r\n");
}

TEST_F(LogFile, TheProcessLogIsOneObjectAndEngineWarningsReachIt)
{
    ILogFile* log = ILogFile_GetInstance();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(ILogFile_GetInstance(), log);
    log->AddGlobalFunctionDelegate(kLogFileLogEvent, RecordAndHideSecrets);
    ShowEngineDebuggingWarningMessage(L"secret warning %d", 9);
    log->RemoveAllDelegates();
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].level, LOG_LEVEL_ERROR);
    EXPECT_EQ(g_seen[0].message, L"secret warning 9");
    EXPECT_EQ(RVTest::MessageBoxRecorder::Taken().size(), 1u);
}
