#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/common/startup/EngineStartup.h"
#include "engine/filesystem/CLogFile.h"
#include "engine/filesystem/ScrambleKeys.h"
#include "tests/support/FixedLocalTime.h"
#include "tests/support/PlantedLink.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

using namespace FileSystemTest;

namespace {

const SYSTEMTIME kMarchSeventh = {2021, 3, 0, 7, 9, 5, 3, 7};
const std::wstring kStamp = L"2021-03-07 09:05:03 007: ";

// The file's UTF-16 units after the byte-order mark (which must be there),
// unscrambled with the key when one is given.
std::wstring LogText(const std::wstring& path, wchar_t key = 0)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return L"<no byte-order mark>";
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    for (wchar_t& unit : text)
        unit ^= key;
    return text;
}

std::vector<std::wstring> g_seen; // "level|message|line" of every line a handler saw

void RecordAndHideSecrets(void*, tagEventArgs* args)
{
    auto* line = static_cast<tagLogFileLogEventArgs*>(args);
    g_seen.push_back(std::to_wstring(line->level) + L"|" + line->message + L"|" + line->line);
    if (std::wstring(line->message).find(L"secret") != std::wstring::npos)
        line->handled = true;
}

class LogFile : public FileSystemTestBase
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
    std::vector<std::wstring> ClosedLines(wchar_t key = 0)
    {
        const std::wstring name = m_log->GetFileName();
        EXPECT_TRUE(m_log->Close());
        const std::wstring text = LogText(name, key);
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
    m_log->Log(LOG_LEVEL_WARNING, L"%d files", 3), m_log->Log(LOG_LEVEL_TRACE, L"path %s", L"C:\\x");
    m_log->Log(LOG_LEVEL_ERROR, L"100%% broken"), m_log->Log(7, L"odd level");
    // An over-long line is cut but still ends the line.
    m_log->Log(LOG_LEVEL_TRACE, L"%s", std::wstring(20000, L'h').c_str());
    const std::wstring cut = (L"Trace: " + kStamp + std::wstring(20000, L'h')).substr(0, CLogFile::kLineCapacity - 3);
    EXPECT_EQ(ClosedLines(), (std::vector<std::wstring>{L"Warning: " + kStamp + L"3 files",
                                                        L"Trace: " + kStamp + L"path C:\\x",
                                                        L"Error: " + kStamp + L"100% broken",
                                                        L"Trace: " + kStamp + L"odd level", cut}));
    EXPECT_FALSE(m_log->Close()) << "nothing left to close";
    m_log->Log(LOG_LEVEL_TRACE, L"after close");
    EXPECT_EQ(LogText(name).find(L"after close"), std::wstring::npos);
}

// Handlers see the plain lines, also when the file holds them scrambled.
TEST_F(LogFile, AHandlerSeesEveryLineAndMaySuppressItAndScrambledLinesFollowAPlainMark)
{
    m_log->SetFlag(true), m_log->SetSecondFlag();
    m_log->AddGlobalFunctionDelegate(kLogFileLogEvent, RecordAndHideSecrets);
    m_log->Log(LOG_LEVEL_ERROR, L"a secret %d", 42);
    m_log->Log(LOG_LEVEL_TRACE, L"public");
    EXPECT_EQ(ClosedLines(kLogScrambleKey), std::vector<std::wstring>{L"Trace: " + kStamp + L"public"});
    EXPECT_EQ(g_seen, (std::vector<std::wstring>{L"2|a secret 42|Error: " + kStamp + L"a secret 42\r\n",
                                                 L"0|public|Trace: " + kStamp + L"public\r\n"}));
}

// A handler that logs would be called again for its own line, without end.
TEST_F(LogFile, ALineLoggedFromAHandlerIsDropped)
{
    static int calls;
    static CLogFile* log;
    calls = 0, log = m_log.Get();
    m_log->AddGlobalFunctionDelegate(kLogFileLogEvent, [](void*, tagEventArgs*) {
        if (++calls < 3)
            log->Log(LOG_LEVEL_TRACE, L"from the handler");
    });
    m_log->Log(LOG_LEVEL_TRACE, L"outer");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ClosedLines(), std::vector<std::wstring>{L"Trace: " + kStamp + L"outer"});
}

// Two threads log while handlers subscribe and go on a third: every line is
// written whole, reaches the handler that stays, and nothing breaks.
TEST_F(LogFile, ThreadsWriteWholeLinesWhileHandlersComeAndGo)
{
    struct Passing
    {
        void OnLog(void*, tagEventArgs*) {}
    };
    static std::atomic<int> seen;
    seen = 0;
    m_log->AddGlobalFunctionDelegate(kLogFileLogEvent, [](void*, tagEventArgs*) { ++seen; });
    std::vector<std::wstring> expected;
    for (int i = 0; i < 2000; ++i)
        expected.push_back(L"Trace: " + kStamp + L"thread " + std::to_wstring(1 + i / 1000) + L" line " +
                           std::to_wstring(i % 1000));
    std::atomic<int> running{2};
    auto writer = [this, &running](int thread) {
        for (int i = 0; i < 1000; ++i)
            m_log->Log(LOG_LEVEL_TRACE, L"thread %d line %d", thread, i);
        --running;
    };
    std::thread first(writer, 1), second(writer, 2);
    for (int round = 0; running > 0 && round < 1000000; ++round) {
        Passing passing[4];
        for (Passing& handler : passing)
            m_log->AddMemberFunctionDelegate(kLogFileLogEvent, &handler, &Passing::OnLog);
        for (Passing& handler : passing)
            m_log->RemoveObjectDelegates(&handler);
    }
    first.join(), second.join();
    EXPECT_EQ(seen, 2000);
    std::vector<std::wstring> lines = ClosedLines();
    std::sort(lines.begin(), lines.end()), std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(lines == expected) << "torn or lost lines";
}

using LogFileWithoutFolder = FileSystemTestBase;

TEST_F(LogFileWithoutFolder, AnUnwritableFolderLeavesTheRunWithoutAFile)
{
    // A file where the log folder should be: the folder cannot be made.
    ASSERT_TRUE(RVTest::WriteWholeFile(L"ReadWrite", "in the way"));
    TIntrusivePointer<CLogFile> log(new CLogFile());
    EXPECT_FALSE(log->OpenRunFile());
    EXPECT_EQ(log->GetFileName(), L"");
    log->Log(LOG_LEVEL_ERROR, L"still alive"), log->Flush();
    EXPECT_FALSE(log->Close());
    EXPECT_EQ(RVTest::ReadWholeFile(L"ReadWrite"), "in the way");
}


TEST(LogFileName, ANameTakenIsFollowedByOneMillisecondLaterWhenTheClockHasNotMovedOn)
{
    const SYSTEMTIME at007 = kMarchSeventh;
    SYSTEMTIME at008 = kMarchSeventh;
    at008.wMilliseconds = 8;
    SYSTEMTIME at999 = kMarchSeventh;
    at999.wMilliseconds = 999;
    SYSTEMTIME at009 = kMarchSeventh;
    at009.wMilliseconds = 9;
    SYSTEMTIME nextSecond = kMarchSeventh;
    nextSecond.wSecond = 4, nextSecond.wMilliseconds = 0;
    struct Row { SYSTEMTIME now; const SYSTEMTIME* taken; SYSTEMTIME expected; };
    const Row rows[] = {
        {at007, nullptr, at007},     // the first attempt takes the clock
        {at008, &at007, at008},      // the clock moved on
        {at007, &at007, at008},      // it did not
        {at007, &at008, at009},      // it went back: after the name taken
        {at999, &at999, nextSecond}, // across a second
    };
    for (const Row& row : rows) {
        const SYSTEMTIME next = CLogFile::NextFileTime(row.now, row.taken);
        EXPECT_EQ(CLogFile::MakeFileName(L"M", next), CLogFile::MakeFileName(L"M", row.expected));
    }
}

// The log is made as administrator in folders other users may write to:
// a link on its way is not followed, and a name already there (a file, or
// a link to one) is never opened, cut or written.
TEST(LogFilePlanted, LinksOnTheWayAndNamesAlreadyThereAreNeverWrittenThrough)
{
    const RVTest::FixedLocalTime time(kMarchSeventh);
    SYSTEMTIME later = kMarchSeventh;
    later.wMilliseconds = 8;
    const std::wstring module = GetModuleName();
    const std::wstring first = CLogFile::MakeFileName(module.c_str(), kMarchSeventh).substr(2);
    const std::wstring second = CLogFile::MakeFileName(module.c_str(), later).substr(2);
    enum Plant { kFolderLink, kDeepFolderLink, kFileAtName, kLinkAtName };
    struct Row { Plant plant; const wchar_t* what; bool opened; };
    const Row rows[] = {
        {kFolderLink, L"ReadWrite is a link", false},
        {kDeepFolderLink, L"its Log folder is a link", false},
        {kFileAtName, L"a file has the name", true},
        {kLinkAtName, L"a link has the name", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RVTest::TempFolder root;
        const std::wstring outside = root.Child(L"outside");
        ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
        ASSERT_TRUE(RVTest::WriteWholeFile(outside + L"\\victim.log", "keep"));
        const std::wstring run = root.Child(L"run");
        ASSERT_TRUE(CreateDirectoryW(run.c_str(), nullptr));
        std::vector<std::wstring> folders = {L"\\ReadWrite", L"\\ReadWrite\\Log"};
        if (!module.empty())
            folders.push_back(L"\\ReadWrite\\Log\\" + module);
        folders.resize(row.plant == kFolderLink ? 0 : row.plant == kDeepFolderLink ? 1 : folders.size());
        for (const std::wstring& folder : folders) {
            ASSERT_TRUE(CreateDirectoryW((run + folder).c_str(), nullptr)) << folder;
        }
        std::optional<RVTest::PlantedLink> link;
        if (row.plant == kFolderLink) {
            link.emplace(run + L"\\ReadWrite", outside, true);
        } else if (row.plant == kDeepFolderLink) {
            link.emplace(run + L"\\ReadWrite\\Log", outside, true);
        } else if (row.plant == kLinkAtName) {
            link.emplace(run + L"\\" + first, outside + L"\\victim.log", false);
        } else {
            ASSERT_TRUE(RVTest::WriteWholeFile(run + L"\\" + first, "keep"));
        }
        if (link && !link->Made())
            GTEST_SKIP() << "no links can be made here";
        {
            RVTest::ScopedCurrentFolder inside(run);
            TIntrusivePointer<CLogFile> log(new CLogFile());
            EXPECT_EQ(log->OpenRunFile(), row.opened);
            log->Log(LOG_LEVEL_TRACE, L"a line"), log->Close();
        }
        EXPECT_EQ(RVTest::ReadWholeFile(outside + L"\\victim.log"), "keep");
        // Nothing was made outside: it holds the victim alone.
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((outside + L"\\*").c_str(), &found);
        int entries = 0;
        if (search != INVALID_HANDLE_VALUE) {
            do
                entries += wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0;
            while (FindNextFileW(search, &found));
            FindClose(search);
        }
        EXPECT_EQ(entries, 1);
        if (row.opened) {
            EXPECT_NE(LogText(run + L"\\" + second).find(L"a line"), std::wstring::npos);
        }
        if (row.plant == kFileAtName) {
            EXPECT_EQ(RVTest::ReadWholeFile(run + L"\\" + first), "keep");
        }
    }
}
