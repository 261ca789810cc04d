// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "installer/core/CStatisticsServerConnection.h"
#include "installer/core/CUrlItemList.h"
#include "installer/core/InstallPathFunctions.h"
#include "installer/core/InstallerMainFunctions.h"
#include "installer/core/StatisticsFunctions.h"

#include "engine/common/system/ShellFunctions.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

RVTest::WinsockScope g_winsock;

// Exit codes of the child runs: what went wrong, or kChildPassed.
constexpr int kChildPassed = 77;

const wchar_t* const kTempInstallFolder = L"C:\\Program Files\\Wendmoor\\Temp";

int32_t FreeOnDriveC(int32_t drive)
{
    return drive == 2 ? 500 : 0;
}

int32_t FreeOnMissingDriveQ(int32_t drive)
{
    return drive == 'Q' - 'A' ? 500 : 0;
}

int32_t FreeNowhere(int32_t)
{
    return 0;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring SystemTempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buffer);
    return buffer;
}

int CountFallbackFolders()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((SystemTempFolder() + L"WMGameInstaller_*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

std::vector<std::string> StatRecordLines()
{
    return InstallerTests::PeerRecordLines("RV_STAT_RECORD");
}

// Statistics messages of the install step recorded by the server.
int CountStepMessages(uint32_t step)
{
    const std::string stepHex = step == 0 ? "00000000" : step == 1 ? "01000000" : "02000000";
    int count = 0;
    for (const std::string& line : StatRecordLines()) {
        const size_t at = line.find(" 108 6 ");
        if (at != std::string::npos && line.compare(at + 7 + 56, 8, stepHex) == 0)
            ++count;
    }
    return count;
}

void PointStatisticsAtTheTestServer()
{
    const int port = RVTest::PeerPort("RV_STAT_PORT");
    SetStatisticsServerEndpoint({"127.0.0.1", port, port});
}

// The whole run in this (child) process; the installer's mutex then stays
// taken, so each such run needs a process of its own.
int RunFromStartToCleanUp()
{
    PointStatisticsAtTheTestServer();
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    RVTest::MessageBoxRecorder::Clear();
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    if (RunInstaller() != 0)
        return 1;
    // The package's URL list was read from the temporary folder...
    if (CUrlItemList::GetInstance()->GetCount() == 0)
        return 2;
    // ...which is gone, and the run stands elsewhere.
    if (Exists(kTempInstallFolder))
        return 3;
    if (!RVTest::MessageBoxRecorder::Taken().empty())
        return 4;
    return kChildPassed;
}

int RunWithoutAnyDrive()
{
    SetDriveFreeSpaceQuery(FreeNowhere);
    RVTest::MessageBoxRecorder::Clear();
    if (RunInstaller() != 0)
        return 1;
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    if (boxes.size() != 1 || boxes[0].text != kNoDriveMessage || boxes[0].caption != kNoDriveCaption
        || (boxes[0].type & 0xF) != MB_OK)
        return 2;
    if (Exists(kTempInstallFolder) || CountFallbackFolders() != 0)
        return 3;
    return kChildPassed;
}

int RunWithUnusableTempFolder()
{
    PointStatisticsAtTheTestServer();
    SetDriveFreeSpaceQuery(FreeOnMissingDriveQ);
    wchar_t launchedFrom[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, launchedFrom);
    if (RunInstaller() != 0)
        return 1;
    if (CUrlItemList::GetInstance()->GetCount() == 0)
        return 2;
    // Unpacked under the system's temporary folder, not where it started.
    if (Exists(std::wstring(launchedFrom) + L"\\Installer") || CountFallbackFolders() != 0)
        return 3;
    if (!Exists(SystemTempFolder()))
        return 4;
    return kChildPassed;
}

} // namespace

TEST(InstallerMainFlow, SecondInstanceReturnsMinusTwoAndShowsNothing)
{
    HANDLE other = CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName);
    ASSERT_NE(other, nullptr);
    RVTest::MessageBoxRecorder::Clear();
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    EXPECT_EQ(RunInstaller(), kAnotherInstanceExitCode);
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
    EXPECT_FALSE(Exists(kTempInstallFolder));
    CloseHandle(other);
}

TEST(InstallerMainFlow, WithoutADriveOf100MBTheMessageIsShownAndNoFolderMade)
{
    EXPECT_EXIT(ExitProcess(RunWithoutAnyDrive()), ::testing::ExitedWithCode(kChildPassed), "");
}

TEST(InstallerMainFlow, UnpacksIntoTheTemporaryFolderReportsTheStartAndRemovesTheFolder)
{
    const int startsBefore = CountStepMessages(kStatisticsStepStarted);
    EXPECT_EXIT(ExitProcess(RunFromStartToCleanUp()), ::testing::ExitedWithCode(kChildPassed), "");
    EXPECT_FALSE(Exists(kTempInstallFolder));
    // Asked for before the connection was up, the start message still left.
    EXPECT_EQ(CountStepMessages(kStatisticsStepStarted), startsBefore + 1);
    EXPECT_EQ(CountStepMessages(kStatisticsStepInstallFinished), 0);
}

TEST(InstallerMainFlow, UnusableTemporaryFolderFallsBackToTheSystemsOne)
{
    EXPECT_EXIT(ExitProcess(RunWithUnusableTempFolder()), ::testing::ExitedWithCode(kChildPassed), "");
}

TEST(InstallerMainFlow, ClosingReportsAndUpdaterOnlyAfterASoundInstall)
{
    PointStatisticsAtTheTestServer();
    InitStatisticsServerConnection();
    CStatisticsServerConnection* connection = CStatisticsServerConnection::GetInstance();
    ASSERT_TRUE(RVTest::WaitFor([&] {
        connection->Update();
        return !connection->IsDisconnected();
    }));
    RVTest::TempFolder installFolder;
    RVTest::ScopedCurrentFolder inside(installFolder.Path());
    const std::wstring standIn = std::wstring(RVGameEngine::Common::GetProgramDir()->GetUtf16()) + L"installer_test_standin.exe";
    ASSERT_TRUE(CopyFileW(standIn.c_str(), installFolder.Child(L"ZURovoZizizer.exe").c_str(), FALSE));
    const std::wstring started = installFolder.Child(L"ZURovoZizizer.exe.started");

    // Not finished, or finished after a failure: nothing is reported or started.
    ReportClosingAndStartUpdater(false, false);
    ReportClosingAndStartUpdater(true, true);
    Sleep(300);
    EXPECT_EQ(CountStepMessages(kStatisticsStepInstallFinished), 0);
    EXPECT_FALSE(Exists(started));

    const DWORD start = GetTickCount();
    ReportClosingAndStartUpdater(true, false);
    EXPECT_GE(GetTickCount() - start + 10, kClosingReportCount * kClosingReportPauseMs);
    EXPECT_TRUE(RVTest::WaitFor([&] { return CountStepMessages(kStatisticsStepInstallFinished) == 5; }));
    EXPECT_TRUE(RVTest::WaitFor([&] { return Exists(started); }, 10000));
}

TEST(InstallerMainFlow, DirectoryTreeRemovalClimbsOnlyThroughEmptyFoldersAndStopsWhereTold)
{
    RVTest::TempFolder root;
    const std::wstring base = root.Path();
    ASSERT_TRUE(CreateDirectoryW((base + L"\\here").c_str(), nullptr));
    {
        // "./" and "" name no folder to remove, even the empty current one.
        RVTest::ScopedCurrentFolder inside(base + L"\\here");
        RemoveDirectoryTree(L"./");
        RemoveDirectoryTree(L"");
        RemoveDirectoryTree(nullptr);
    }
    EXPECT_TRUE(Exists(base + L"\\here"));

    // Empty folders go up to the boundary, which stays with what lies beside.
    for (const wchar_t* folder : {L"\\a", L"\\a\\b", L"\\a\\b\\c", L"\\keep"})
        ASSERT_TRUE(CreateDirectoryW((base + folder).c_str(), nullptr));
    RemoveDirectoryTreeWithin((base + L"/a/b/c").c_str(), base.c_str());
    EXPECT_FALSE(Exists(base + L"\\a"));
    EXPECT_TRUE(Exists(base + L"\\keep"));

    // A tree of files and empty folders is emptied and removed whole.
    ASSERT_TRUE(CreateDirectoryW((base + L"\\tree").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((base + L"\\tree\\empty").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((base + L"\\tree\\full").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(base + L"\\tree\\full\\file.txt", "x"));
    ASSERT_TRUE(RVTest::WriteWholeFile(base + L"\\tree\\top.txt", "y"));
    DeleteTempDirectoryWithin((base + L"/tree").c_str(), base.c_str());
    EXPECT_FALSE(Exists(base + L"\\tree"));
    EXPECT_TRUE(Exists(base + L"\\keep"));
}

TEST(InstallerMainFlow, FolderRemovalNeverFollowsALinkedFolder)
{
    RVTest::TempFolder root;
    const std::wstring base = root.Path();
    ASSERT_TRUE(CreateDirectoryW((base + L"\\victim").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(base + L"\\victim\\precious.txt", "keep"));
    ASSERT_TRUE(CreateDirectoryW((base + L"\\tree").c_str(), nullptr));
    const DWORD directoryLink = 0x1 | 0x2; // directory, without special rights
    if (!CreateSymbolicLinkW((base + L"\\tree\\link").c_str(), (base + L"\\victim").c_str(), directoryLink)
        || !CreateSymbolicLinkW((base + L"\\linked").c_str(), (base + L"\\victim").c_str(), directoryLink))
        GTEST_SKIP() << "no directory links here (error " << GetLastError() << ")";

    DeleteTempDirectoryWithin((base + L"/tree").c_str(), base.c_str());
    DeleteTempDirectoryWithin((base + L"/linked").c_str(), base.c_str());
    EXPECT_EQ(RVTest::ReadWholeFile(base + L"\\victim\\precious.txt"), "keep");
    EXPECT_FALSE(Exists(base + L"\\tree"));
    EXPECT_FALSE(Exists(base + L"\\linked"));
}
