// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "tests/installer/InstallerTestSupport.h"

#include "installer/core/InstallerMainFunctions.h"
#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/CPackedFileReader_Stream.h"
#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/install/InstallThreadFunctions.h"
#include "installer/core/reporting/CStatisticsServerConnection.h"
#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/reporting/StatisticsFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/directui/frame/IIcon.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

RVTest::WinsockScope g_winsock;

// Exit codes of the child runs: what went wrong, or kChildPassed.
constexpr int kChildPassed = 77;

const wchar_t* const kTempInstallFolder = L"C:\\Program Files\\Wendmoor\\Temp";

using InstallerTests::CountStepMessages;
using InstallerTests::Exists;

// Free megabytes: 500 on drive C only.
int32_t FreeOnDriveC(int32_t drive)
{
    return drive == 2 ? 500 : 0;
}

std::wstring SystemTempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buffer);
    return buffer;
}

bool AnyFallbackFolderLeft()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((SystemTempFolder() + L"WMGameInstaller_*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return search != INVALID_HANDLE_VALUE;
}

void PointStatisticsAtTheTestServer()
{
    const int port = RVTest::PeerPort("RV_STAT_PORT");
    SetStatisticsServerEndpoint({"127.0.0.1", port, port});
}

// The whole run in this (child) process with the drives given, then the
// check's verdict; the installer's mutex stays taken, so each such run needs
// a process of its own.
std::wstring g_launchedFrom;

int RunInstallerThen(DriveFreeSpaceQuery drives, int (*check)(), int32_t status = 0)
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    g_launchedFrom = folder;
    PointStatisticsAtTheTestServer();
    SetDriveFreeSpaceQuery(drives);
    RVTest::MessageBoxRecorder::Clear();
    return RunInstaller() != status ? 1 : check();
}

int CheckRunFromStartToCleanUp()
{
    // The package's URL list was read, and the temporary folder is gone.
    if (CUrlItemList::GetInstance()->GetCount() == 0 || Exists(kTempInstallFolder))
        return 2;
    return RVTest::MessageBoxRecorder::Taken().empty() ? kChildPassed : 3;
}

int32_t NoDriveHasRoom(int32_t)
{
    return 0;
}

int CheckRunWithoutAnyDrive()
{
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    if (boxes.size() != 1 || boxes[0].text != kNoDriveMessage || boxes[0].caption != kNoDriveCaption
        || (boxes[0].type & 0xF) != MB_OK)
        return 2;
    if (Exists(kTempInstallFolder) || AnyFallbackFolderLeft())
        return 3;
    return kChildPassed;
}

// Nobody is there to close a box: the reason is logged once, as an error.
int CheckSilentRunWithoutAnyDrive()
{
    if (!RVTest::MessageBoxRecorder::Taken().empty())
        return 2;
    const auto lines = RVTest::LogCapture::Lines();
    const std::pair<int, std::wstring> said(RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
                                            L"No drive has 100 MB free: nothing is installed; a silent start shows no "
                                            L"message");
    if (std::count(lines.begin(), lines.end(), said) != 1)
        return 3;
    if (Exists(kTempInstallFolder) || AnyFallbackFolderLeft())
        return 4;
    return kChildPassed;
}

int CheckRunWithUnusableTempFolder()
{
    if (CUrlItemList::GetInstance()->GetCount() == 0)
        return 2;
    // Unpacked under the system's temporary folder (which stays), not where it started.
    if (Exists(g_launchedFrom + L"\\Installer") || AnyFallbackFolderLeft())
        return 3;
    return Exists(SystemTempFolder()) ? kChildPassed : 4;
}

// Run as the window would be: every file of the installer's package is
// planted, rewritten, in the current (temporary) folder, as another user
// could once the program had written it there; the program still reads its
// own. The first failed check, or kChildPassed.
int g_packageCheck = 0;

int CheckPackageReadFromTheProgram()
{
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring folder = current;
    // Nothing of the package is written where others may write.
    if (Exists(folder + L"\\Installer"))
        return 10;
    RVGameEngine::Common::TIntrusivePointer<CPackedFileReader_Stream> package(new CPackedFileReader_Stream());
    if (!package->Open(LoadPackageArchive(kInstallerPackage)) || package->GetItemCount() == 0)
        return 11;
    const std::wstring plantedConfig = L"<PartnerContainsConfig>\r\n<R PackName=\"Planted\" IconIndex=\"9\"/>\r\n"
                                       L"</PartnerContainsConfig>\r\n";
    for (int32_t i = 0; i < package->GetItemCount(); ++i) {
        std::wstring path = folder + L"\\" + package->GetItemName(i);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
        const bool config = std::wstring(package->GetItemName(i)) == kPartnerConfigFile;
        const std::string bytes = config ? std::string("\xff\xfe", 2) + std::string(reinterpret_cast<const char*>(
                                                                           plantedConfig.data()), plantedConfig.size() * 2)
                                         : std::string("planted");
        if (!RVTest::WriteWholeFile(path, bytes))
            return 12;
    }
    RVGameEngine::FileSystem::IVirtualFileSystem* files = RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance();
    for (int32_t i = 0; i < package->GetItemCount(); ++i) {
        const wchar_t* name = package->GetItemName(i);
        const auto read = files->ReadFileUnscrambled(name);
        const auto own = package->ReadItem(name);
        if (!read || !own || InstallerTests::BytesOf(read.Get()) != InstallerTests::BytesOf(own.Get()))
            return 13;
    }
    if (GetPartnerPackName() == L"Planted" || LoadPartnerConfig() == 9)
        return 14;
    // The window's icon too: the planted bytes are no icon at all.
    const auto icon = RVGameEngine::DirectUI::IIcon_Create();
    icon->Load(L"Installer/Icons/Installer.ico");
    if (icon->GetHandle() == nullptr)
        return 15;
    return kChildPassed;
}

void RunPackageCheckAsTheWindow()
{
    g_packageCheck = CheckPackageReadFromTheProgram();
}

int PackageCheckVerdict()
{
    return g_packageCheck;
}

// A system that can start no more threads.
HANDLE NoThreadStarts(LPTHREAD_START_ROUTINE)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// Run as the window would be: the player clicks the install button, and the
// worker's thread cannot be started.
void ClickInstallWithoutAThread()
{
    static tagInstallPaths options;
    options.path = GetDefaultInstallPath();
    SetInstallThreadStart(NoThreadStarts);
    SetInstallOption(&options);
    StartInstallThread();
}

int RunInstallWithoutAThread()
{
    PointStatisticsAtTheTestServer();
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    RVTest::LogCapture log;
    if (RunInstaller(ClickInstallWithoutAThread) != kInstallNotDoneExitCode)
        return 2;
    if (log.CountContaining(L"The install worker's thread cannot be started (system error 8)") != 1)
        return 3;
    return Exists(L"C:\\Program Files\\Wendmoor\\ZURovoZizizer.exe") ? 4 : kChildPassed;
}

} // namespace

TEST(InstallerMainFlow, ThePackagesFilesAreReadFromTheProgramNotFromWhatLiesOnDisk)
{
    EXPECT_EXIT(ExitProcess([] {
                    PointStatisticsAtTheTestServer();
                    SetDriveFreeSpaceQuery(FreeOnDriveC);
                    return RunInstaller(RunPackageCheckAsTheWindow) != 0 ? 1 : PackageCheckVerdict();
                }()),
                ::testing::ExitedWithCode(kChildPassed), "");
}

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

// The status tells whoever started the program whether the install it asked
// for is there; a player who closes the window without installing asked for none.
TEST(InstallerMainFlow, TheStatusIsNonZeroWhenAnInstallAskedForIsNotDone)
{
    struct tagRow
    {
        bool silent, started, finished, failed;
        int32_t status;
    };
    const tagRow rows[] = {
        {false, false, false, false, 0},
        {false, true, true, false, 0},
        {true, true, true, false, 0},
        {false, true, true, true, kInstallNotDoneExitCode},
        {false, true, false, false, kInstallNotDoneExitCode},
        {true, true, true, true, kInstallNotDoneExitCode},
        {true, true, false, false, kInstallNotDoneExitCode},
        // A silent start whose install never began (agreement not ticked,
        // folder refused) is no success either.
        {true, false, false, false, kInstallNotDoneExitCode},
    };
    for (const tagRow& row : rows)
        EXPECT_EQ(InstallExitStatus(row.silent, row.started, row.finished, row.failed), row.status)
            << row.silent << row.started << row.finished << row.failed;
    EXPECT_NE(kInstallNotDoneExitCode, 0);
    EXPECT_NE(kInstallNotDoneExitCode, kAnotherInstanceExitCode);
}

// The click asked for the install even though no thread could take it up.
TEST(InstallerMainFlow, AnInstallWhoseThreadCannotStartEndsWithOneAndSaysWhy)
{
    EXPECT_EXIT(ExitProcess(RunInstallWithoutAThread()), ::testing::ExitedWithCode(kChildPassed), "");
}

TEST(InstallerMainFlow, WithoutADriveOf100MBTheMessageIsShownAndNoFolderMade)
{
    EXPECT_EXIT(ExitProcess(RunInstallerThen(NoDriveHasRoom, CheckRunWithoutAnyDrive)),
                ::testing::ExitedWithCode(kChildPassed), "");
}

// Run only as the child of the test below, in a copy whose name says "SILENT".
TEST(InstallerMainFlowSilentChild, DISABLED_WithoutADriveOf100MB)
{
    RVTest::LogCapture log;
    ExitProcess(RunInstallerThen(NoDriveHasRoom, CheckSilentRunWithoutAnyDrive, kInstallNotDoneExitCode));
}

// An unattended install would otherwise wait for ever on a box nobody sees.
TEST(InstallerMainFlow, WithoutADriveOf100MBASilentStartShowsNoBoxLogsWhyAndEndsWithOne)
{
    EXPECT_EQ(InstallerTests::RunSilentCopy(L"InstallerMainFlowSilentChild.DISABLED_WithoutADriveOf100MB"),
              static_cast<DWORD>(kChildPassed));
}

TEST(InstallerMainFlow, UnpacksIntoTheTemporaryFolderReportsTheStartAndRemovesTheFolder)
{
    const int startsBefore = CountStepMessages(kStatisticsStepStarted);
    EXPECT_EXIT(ExitProcess(RunInstallerThen(FreeOnDriveC, CheckRunFromStartToCleanUp)),
                ::testing::ExitedWithCode(kChildPassed), "");
    // Asked for before the connection was up, the start message still left.
    EXPECT_EQ(CountStepMessages(kStatisticsStepStarted), startsBefore + 1);
    EXPECT_EQ(CountStepMessages(kStatisticsStepInstallFinished), 0);
}

TEST(InstallerMainFlow, UnusableTemporaryFolderFallsBackToTheSystemsOne)
{
    const DriveFreeSpaceQuery onlyMissingDriveQ = [](int32_t drive) { return drive == 'Q' - 'A' ? 500 : 0; };
    EXPECT_EXIT(ExitProcess(RunInstallerThen(onlyMissingDriveQ, CheckRunWithUnusableTempFolder)),
                ::testing::ExitedWithCode(kChildPassed), "");
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
    const std::wstring standIn = InstallerTests::ProgramFolder() + L"installer_test_standin.exe";
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
    // The tick count moves in steps of up to 16 ms on Windows: one step of
    // slack per pause, so that a coarse clock cannot fail the check.
    EXPECT_GE(GetTickCount() - start + kClosingReportCount * 16, kClosingReportCount * kClosingReportPauseMs);
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
    for (const wchar_t* folder : {L"\\tree", L"\\tree\\empty", L"\\tree\\full"})
        ASSERT_TRUE(CreateDirectoryW((base + folder).c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(base + L"\\tree\\full\\file.txt", "x"));
    ASSERT_TRUE(RVTest::WriteWholeFile(base + L"\\tree\\top.txt", "y"));
    DeleteTempDirectoryWithin((base + L"/tree").c_str(), base.c_str());
    EXPECT_FALSE(Exists(base + L"\\tree"));
    EXPECT_TRUE(Exists(base + L"\\keep"));
}

// Links planted in the temporary folder, in its place, above the part being
// removed or in the updater's state folder: nothing they lead to is deleted.
TEST(InstallerMainFlow, FolderRemovalNeverDeletesThroughALink)
{
    RVTest::TempFolder root;
    auto at = [&root](const wchar_t* relative) { return root.Child(relative); };
    for (const wchar_t* folder : {L"victim", L"victim\\empty", L"tree", L"tree\\sub", L"ReadWrite",
                                  L"ReadWrite\\Updater"})
        ASSERT_TRUE(CreateDirectoryW(at(folder).c_str(), nullptr)) << folder;
    for (const wchar_t* file : {L"victim\\precious.txt", L"victim.txt", L"tree\\sub\\mine.txt",
                                L"ReadWrite\\Updater\\state.dat"})
        ASSERT_TRUE(RVTest::WriteWholeFile(at(file), "keep")) << file;
    const RVTest::PlantedLink links[] = {
        {at(L"tree\\folderlink"), at(L"victim"), true},
        {at(L"tree\\filelink.txt"), at(L"victim.txt"), false},
        {at(L"tree\\emptylink"), at(L"victim\\empty"), true},
        {at(L"inplace"), at(L"victim"), true},
        {at(L"outer"), at(L"tree"), true},
        {at(L"ReadWrite\\Updater\\linked.dat"), at(L"victim.txt"), false},
    };
    for (const RVTest::PlantedLink& link : links)
        if (!link.Made())
            GTEST_SKIP() << "no links can be made here";

    const std::wstring base = root.Path();
    DeleteTempDirectoryWithin((base + L"/outer/sub").c_str(), base.c_str());
    EXPECT_TRUE(Exists(at(L"tree\\sub\\mine.txt"))) << "a link above the folder leads elsewhere";
    DeleteTempDirectoryWithin((base + L"/inplace").c_str(), base.c_str());
    DeleteTempDirectoryWithin((base + L"/tree").c_str(), base.c_str());
    RemoveDirectoryTree((base + L"/tree/emptylink").c_str());
    {
        RVTest::ScopedCurrentFolder inside(base);
        ClearUpdaterState();
    }
    EXPECT_FALSE(Exists(at(L"tree\\sub")));
    EXPECT_FALSE(Exists(at(L"ReadWrite\\Updater\\state.dat")));
    EXPECT_EQ(RVTest::ReadWholeFile(at(L"victim\\precious.txt")), "keep");
    EXPECT_EQ(RVTest::ReadWholeFile(at(L"victim.txt")), "keep");
    EXPECT_TRUE(Exists(at(L"victim\\empty")));
}

// The updater's state folder is itself a link: what it leads to keeps its
// files (the clean-up runs with administrator rights, the folder is the
// player's to change).
TEST(InstallerMainFlow, AnUpdaterStateFolderThatIsALinkIsNotEmptied)
{
    RVTest::TempFolder root;
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"victim").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"ReadWrite").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"victim\\profile.dat"), "keep"));
    const RVTest::PlantedLink link(root.Child(L"ReadWrite\\Updater"), root.Child(L"victim"), true);
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here";
    {
        RVTest::ScopedCurrentFolder inside(root.Path());
        ClearUpdaterState();
    }
    EXPECT_EQ(RVTest::ReadWholeFile(root.Child(L"victim\\profile.dat")), "keep");
}

// A temporary folder that cannot be used is named once, with what stopped
// it: the link on its way (no install is refused: none was asked for), or
// the system's error that stopped its making.
TEST(InstallerMainFlow, AnUnusableTemporaryFolderIsNamedOnceWithWhatStoppedIt)
{
    RVTest::TempFolder root;
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"real").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"file"), "a file, not a folder"));
    const RVTest::PlantedLink link(root.Child(L"linked"), root.Child(L"real"), true);
    const std::wstring blocked = root.Child(L"file\\Temp");
    DWORD error = ERROR_SUCCESS;
    {
        RVGameEngine::Common::CScopedKernelHandle folder;
        RVGameEngine::FileSystem::OpenCheckedFolderPath(blocked.c_str(), RVGameEngine::FileSystem::FOLDER_MISSING_MADE,
                                                        &folder, nullptr, &error);
    }
    ASSERT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
    struct tagRow
    {
        std::wstring preferred;
        std::wstring line;
    };
    std::vector<tagRow> rows = {
        {blocked, L"Temporary folder " + blocked + L" not used: it cannot be made (system error " +
                      std::to_wstring(error) + L"); using one of the system's"},
    };
    if (link.Made())
        rows.push_back({root.Child(L"linked\\Game\\Temp"),
                        L"Temporary folder " + root.Child(L"linked\\Game\\Temp") + L" not used: " +
                            root.Child(L"linked") +
                            L" is a link, a junction or a volume mounted in a folder; using one of the system's"});
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    for (const tagRow& row : rows) {
        SCOPED_TRACE(row.preferred);
        RVTest::LogCapture log;
        std::wstring entered = EnterTempFolder(row.preferred);
        SetCurrentDirectoryW(previous);
        CExtractedFileWriter::SetTargetFolder(nullptr);
        EXPECT_EQ(log.Messages(), std::vector<std::wstring>{row.line});
        ASSERT_FALSE(entered.empty());
        std::replace(entered.begin(), entered.end(), L'/', L'\\');
        EXPECT_NE(entered, row.preferred);
        RVTest::RemoveTree(entered);
    }
    EXPECT_TRUE(std::filesystem::is_empty(root.Child(L"real"))) << "nothing made through the link";
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here";
}

// A host process swaps a folder above the temporary folder with a link, in
// one step and as fast as it can, while the program makes and enters
// temporary folders below it: a folder is made where the path says, or the
// link is refused, and nothing is ever made where the link leads.
TEST(InstallerMainFlow, AFolderSwappedWithALinkMeanwhileNeverGetsTheTemporaryFolderMadeThroughIt)
{
    constexpr int kRounds = 400;
    RVTest::TempFolder root;
    const std::wstring host = RVTest::HostPathOf(root.Path());
    if (host.empty())
        GTEST_SKIP() << "no host process can swap folders here";
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"swapped").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"target").c_str(), nullptr));
    const RVTest::PlantedLink decoy(root.Child(L"decoy"), root.Child(L"target"), true);
    if (!decoy.Made())
        GTEST_SKIP() << "no links can be made here";
    // The names are exchanged in one call, so the folder is never missing;
    // an even number of exchanges leaves it in place at the end.
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"swap.py"),
                                       "import ctypes, os, sys\n"
                                       "os.chdir(sys.argv[1])\n"
                                       "libc = ctypes.CDLL(None)\n"
                                       "swaps = 0\n"
                                       "open('started', 'w').close()\n"
                                       "while not os.path.exists('stop'):\n"
                                       "    swaps += libc.renameat2(-100, b'swapped', -100, b'decoy', 2) == 0\n"
                                       "if swaps % 2:\n"
                                       "    libc.renameat2(-100, b'swapped', -100, b'decoy', 2)\n"
                                       "open('ended', 'w').write(str(swaps))\n"));
    ASSERT_TRUE(RVTest::StartHostCommand(L"/usr/bin/python3 \"" + RVTest::HostPathOf(root.Child(L"swap.py")) +
                                         L"\" \"" + host + L"\""));
    ASSERT_TRUE(RVTest::WaitFor([&] { return Exists(root.Child(L"started")); }, 20000));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    int made = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::wstring preferred = root.Child(L"swapped\\Game" + std::to_wstring(round) + L"\\Temp");
        std::wstring entered = EnterTempFolder(preferred);
        SetCurrentDirectoryW(previous);
        std::replace(entered.begin(), entered.end(), L'/', L'\\');
        if (entered == preferred)
            ++made;
        else if (!entered.empty())
            RVTest::RemoveTree(entered);  // the system's, taken instead
    }
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"stop"), ""));
    ASSERT_TRUE(RVTest::WaitFor([&] { return Exists(root.Child(L"ended")); }, 20000));
    EXPECT_GT(made, 0);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(root.Child(L"target\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> inTarget;
    do
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            inTarget.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_TRUE(inTarget.empty()) << inTarget.size() << " folders made through the link, the first "
                                  << (inTarget.empty() ? L"" : inTarget[0]);
}
