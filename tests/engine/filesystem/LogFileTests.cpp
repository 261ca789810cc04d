#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/common/Console.h"
#include "engine/common/EngineStartup.h"
#include "engine/filesystem/CLogFile.h"
#include "engine/filesystem/ScrambleKeys.h"
#include "tests/support/FixedLocalTime.h"

#include <cwctype>
#include <regex>
#include <thread>
#include <vector>

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;
using FileSystemTest::FileSystemTestBase;

namespace {

SYSTEMTIME MarchSeventh()
{
    SYSTEMTIME time{};
    time.wYear = 2021;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 3;
    time.wMilliseconds = 7;
    return time;
}

// The file's UTF-16 units after the byte-order mark (which must be there).
std::wstring LogText(const std::wstring& path)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    if (bytes.size() < 2 || bytes.substr(0, 2) != "\xFF\xFE")
        return L"<no byte-order mark>";
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    return text;
}

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start != text.size())
        lines.push_back(L"<unterminated>" + text.substr(start));
    return lines;
}

struct SeenLine
{
    int32_t level;
    std::wstring message;
    std::wstring line;
};

std::vector<SeenLine> g_seen;

void RecordAndHideSecrets(void* sender, tagEventArgs* args)
{
    (void)sender;
    auto* logArgs = static_cast<tagLogFileLogEventArgs*>(args);
    g_seen.push_back({logArgs->level, logArgs->message, logArgs->line});
    if (std::wstring(logArgs->message).find(L"secret") != std::wstring::npos)
        logArgs->handled = true;
}

class LogFile : public FileSystemTestBase
{
protected:
    // A log of its own (the process-wide one is made once) opened in the
    // test's folder at a fixed time.
    TIntrusivePointer<CLogFile> OpenLog()
    {
        TIntrusivePointer<CLogFile> log(new CLogFile());
        RVTest::FixedLocalTime fixed(MarchSeventh());
        EXPECT_TRUE(log->OpenRunFile());
        return log;
    }
};

} // namespace

TEST_F(LogFile, FileNameFollowsTheModuleAndTheLocalTime)
{
    EXPECT_EQ(CLogFile::MakeFileName(L"Setup", MarchSeventh()), L"./ReadWrite/Log/Setup/Setup_20210307_090503_007.log");

    TIntrusivePointer<CLogFile> log = OpenLog();
    const std::wstring expected = CLogFile::MakeFileName(GetModuleName(), MarchSeventh());
    EXPECT_EQ(log->GetFileName(), expected);
    log->Close();
    EXPECT_EQ(RVTest::ReadWholeFile(expected), "\xFF\xFE");
}

TEST_F(LogFile, LinesCarryLevelWordTimeAndMessage)
{
    TIntrusivePointer<CLogFile> log = OpenLog();
    {
        RVTest::FixedLocalTime fixed(MarchSeventh());
        log->Log(LOG_LEVEL_WARNING, L"%d files", 3);
        log->Log(LOG_LEVEL_TRACE, L"path %s", L"C:\\x");
        log->Log(LOG_LEVEL_ERROR, L"100%% broken");
        log->Log(7, L"odd level");
    }
    const std::wstring name = log->GetFileName();
    EXPECT_TRUE(log->Close());
    EXPECT_FALSE(log->Close()) << "nothing left to close";
    log->Log(LOG_LEVEL_TRACE, L"after close");

    const std::vector<std::wstring> lines = Lines(LogText(name));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"Warning: 2021-03-07 09:05:03 007: 3 files");
    EXPECT_EQ(lines[1], L"Trace: 2021-03-07 09:05:03 007: path C:\\x");
    EXPECT_EQ(lines[2], L"Error: 2021-03-07 09:05:03 007: 100% broken");
    EXPECT_EQ(lines[3], L"Trace: 2021-03-07 09:05:03 007: odd level");
}

TEST_F(LogFile, AHandlerSeesEveryLineAndMaySuppressIt)
{
    TIntrusivePointer<CLogFile> log = OpenLog();
    g_seen.clear();
    log->AddGlobalFunctionDelegate(kLogFileLogEvent, RecordAndHideSecrets);
    {
        RVTest::FixedLocalTime fixed(MarchSeventh());
        log->Log(LOG_LEVEL_ERROR, L"a secret %d", 42);
        log->Log(LOG_LEVEL_TRACE, L"public");
    }
    const std::wstring name = log->GetFileName();
    log->Close();

    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].level, LOG_LEVEL_ERROR);
    EXPECT_EQ(g_seen[0].message, L"a secret 42");
    EXPECT_EQ(g_seen[0].line, L"Error: 2021-03-07 09:05:03 007: a secret 42\r\n");
    const std::vector<std::wstring> lines = Lines(LogText(name));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"Trace: 2021-03-07 09:05:03 007: public");
}

TEST_F(LogFile, TwoThreadsWriteWholeLines)
{
    TIntrusivePointer<CLogFile> log = OpenLog();
    auto writer = [&log](int thread) {
        for (int i = 0; i < 1000; ++i)
            log->Log(LOG_LEVEL_TRACE, L"thread %d line %d of the run", thread, i);
    };
    std::thread first(writer, 1);
    std::thread second(writer, 2);
    first.join();
    second.join();
    const std::wstring name = log->GetFileName();
    log->Close();

    const std::vector<std::wstring> lines = Lines(LogText(name));
    ASSERT_EQ(lines.size(), 2000u);
    const std::wregex whole(L"Trace: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\d{3}: thread [12] line \\d+ of the run");
    int perThread[3] = {};
    for (const std::wstring& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << "torn line";
        ++perThread[line.find(L"thread 1") != std::wstring::npos ? 1 : 2];
    }
    EXPECT_EQ(perThread[1], 1000);
    EXPECT_EQ(perThread[2], 1000);
}

TEST_F(LogFile, AnUnwritableFolderLeavesTheRunWithoutAFile)
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
    TIntrusivePointer<CLogFile> log = OpenLog();
    const std::wstring huge(20000, L'h');
    log->Log(LOG_LEVEL_TRACE, L"%s", huge.c_str());
    log->Log(LOG_LEVEL_TRACE, L"next");
    const std::wstring name = log->GetFileName();
    log->Close();
    const std::vector<std::wstring> lines = Lines(LogText(name));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), static_cast<size_t>(CLogFile::kLineCapacity - 3));
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), L"next");
}

TEST_F(LogFile, ScrambledLinesFollowAPlainByteOrderMark)
{
    TIntrusivePointer<CLogFile> log = OpenLog();
    log->SetFlag(true);
    log->SetSecondFlag();
    {
        RVTest::FixedLocalTime fixed(MarchSeventh());
        log->Log(LOG_LEVEL_TRACE, L"hidden");
    }
    const std::wstring name = log->GetFileName();
    log->Close();
    std::wstring text = LogText(name);
    for (wchar_t& unit : text)
        unit = static_cast<wchar_t>(unit ^ kLogScrambleKey);
    EXPECT_EQ(text, L"Trace: 2021-03-07 09:05:03 007: hidden\r\n");
}

TEST_F(LogFile, TheProcessLogIsOneObjectAndEngineWarningsReachIt)
{
    ILogFile* log = ILogFile_GetInstance();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(ILogFile_GetInstance(), log);

    g_seen.clear();
    log->AddGlobalFunctionDelegate(kLogFileLogEvent, RecordAndHideSecrets);
    ShowEngineDebuggingWarningMessage(L"secret warning %d", 9);
    log->RemoveAllDelegates();
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].level, LOG_LEVEL_ERROR);
    EXPECT_EQ(g_seen[0].message, L"secret warning 9");
    ASSERT_EQ(RVTest::MessageBoxRecorder::Taken().size(), 1u);
}
