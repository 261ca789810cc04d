// Whole installs of the sample game into temporary folders: files, updater
// configuration, install record, uninstall entry, shortcuts and flags.

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/CPackedFileReader_Stream.h"
#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/CInstallProgress.h"
#include "installer/core/install/CInstallWorker.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/install/InstallThreadFunctions.h"
#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/EntryNameRules.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace InstallerTests;
using RVGameEngine::Common::IXmlElement;
using RVGameEngine::Common::TComPointer;
using RVGameEngine::Common::TIntrusivePointer;

// This program is test_installer_worker.exe: its partner identity is "worker".
constexpr const wchar_t* kPackName = L"WendmoorTest";

// Where an install falls back to: drive C, without "Program Files (x86)".
const wchar_t* const kDefaultFolder = L"C:\\Program Files\\WendmoorTest";

// The system's error for making the folder from its drive's root down, as
// an install makes it.
DWORD MakingError(const std::wstring& folder)
{
    RVGameEngine::Common::CScopedKernelHandle handle;
    DWORD error = ERROR_SUCCESS;
    RVGameEngine::FileSystem::OpenCheckedFolderPath(RVGameEngine::FileSystem::GetFullPath(folder.c_str()).c_str(),
                                                    RVGameEngine::FileSystem::FOLDER_MISSING_MADE, &handle, nullptr,
                                                    &error);
    return error;
}

// The error lines the newest log capture took.
std::vector<std::wstring> ErrorLines()
{
    std::vector<std::wstring> lines;
    for (const auto& [level, message] : RVTest::LogCapture::Lines())
        if (level == RVGameEngine::FileSystem::LOG_LEVEL_ERROR)
            lines.push_back(message);
    return lines;
}

int32_t PlentyOnC(int32_t driveIndex)
{
    return driveIndex == 2 ? 10000 : 0;
}

std::string Utf16File(const std::wstring& text)
{
    return std::string("\xff\xfe", 2) + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

struct tagLink
{
    std::wstring target, folder, description;
    int icon = -1;
};

bool ReadLink(const std::wstring& file, tagLink* link)
{
    TComPointer<IShellLinkW> shellLink;
    TComPointer<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.Receive()))) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Receive()))) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return false;
    wchar_t text[MAX_PATH] = {};
    shellLink->GetPath(text, MAX_PATH, nullptr, 0);
    link->target = text;
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    link->folder = text;
    shellLink->GetDescription(text, MAX_PATH);
    link->description = text;
    shellLink->GetIconLocation(text, MAX_PATH, &link->icon);
    return true;
}

std::wstring ReadUninstallValue(const wchar_t* name)
{
    const std::wstring key = std::wstring(kUninstallKeyFormat) + kPackName;
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"(missing)";
    return value;
}

void DeleteUninstallEntry()
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallKeyFormat) + kPackName).c_str());
}

std::wstring DesktopLink()
{
    return std::wstring(RVGameEngine::Common::GetDesktopDir()->GetUtf16()) + L"\\" + kPackName + L".lnk";
}

std::wstring StartMenuFolder()
{
    return std::wstring(RVGameEngine::Common::GetProgramsDir()->GetUtf16()) + L"\\" + kPackName;
}

void RemoveShortcuts()
{
    DeleteFileW(DesktopLink().c_str());
    RVTest::RemoveTree(StartMenuFolder());
}

// The installer's unpacked window files, with a partner configuration that
// gives this program's partner its own pack name and icon.
class InstallWorkerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(nullptr);
        SetDriveFreeSpaceQuery(PlentyOnC);
        FindInstallDrive();
        s_ui = std::make_unique<RVTest::TempFolder>();
        ASSERT_TRUE(ExtractPackageInto(kInstallerPackage, s_ui->Path()));
        ASSERT_TRUE(RVTest::WriteWholeFile(
            s_ui->Child(L"Installer\\Set\\PartnerConfig.xml"),
            Utf16File(L"<PartnerConfig>\r\n<P PartnerID=\"worker\" PackName=\"WendmoorTest\" IconIndex=\"1\"/>\r\n"
                      L"</PartnerConfig>\r\n")));
    }
    static void TearDownTestSuite() { s_ui.reset(); }

    void SetUp() override
    {
        RemoveShortcuts();
        DeleteUninstallEntry();
    }
    void TearDown() override
    {
        RemoveShortcuts();
        DeleteUninstallEntry();
    }

    // One install on this thread, started from the window files' folder.
    static void Install(CInstallWorker* worker, tagInstallPaths* options)
    {
        RVTest::ScopedCurrentFolder fromTheWindowFiles(s_ui->Path());
        worker->Run(options);
    }

    static tagInstallPaths Options(const std::wstring& path, bool shortcuts)
    {
        tagInstallPaths options;
        options.path = path;
        options.desktopShortcut = shortcuts;
        options.startMenuShortcuts = shortcuts;
        return options;
    }

    static std::unique_ptr<RVTest::TempFolder> s_ui;
};

std::unique_ptr<RVTest::TempFolder> InstallWorkerTest::s_ui;

TEST_F(InstallWorkerTest, InstallsEveryFileTheRecordsAndTheShortcuts)
{
    RVTest::TempFolder target;
    const std::wstring folder = target.Child(L"Wendmoor Game");
    tagInstallPaths options = Options(folder, true);
    CInstallWorker worker(kGameClientPackage);
    const uint32_t before = GetCurrentUnixTime();
    Install(&worker, &options);
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_FALSE(worker.IsFailed());
    EXPECT_EQ(options.path, folder);

    // Every file byte for byte, scrambled by the rules.
    StreamPointer archive = LoadPackageArchive(kGameClientPackage);
    TIntrusivePointer<CPackedFileReader_Stream> reader(new CPackedFileReader_Stream());
    ASSERT_TRUE(reader->Open(archive));
    for (int32_t i = 0; i < reader->GetItemCount(); ++i) {
        const std::wstring name = reader->GetItemName(i);
        EXPECT_NE(name.compare(0, 5, L"Temp/"), 0) << name;
        if (name == kUpdaterConfigFile)
            continue;
        StreamPointer plain = reader->ReadItemByIndex(i);
        StreamPointer expected = IsScrambledOnExtraction(name.c_str())
                                     ? RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->ScrambleStream(plain)
                                     : plain;
        EXPECT_EQ(RVTest::ReadWholeFile(folder + L"\\" + name), BytesOf(expected.Get())) << name;
    }
    EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), static_cast<uint32_t>(reader->GetItemCount()));
    EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), static_cast<uint32_t>(reader->GetItemCount()));

    // The updater configuration carries the partner and is stored scrambled.
    const std::wstring config = folder + L"\\Updater\\Set\\UpdaterConfig.xml";
    EXPECT_EQ(RVTest::ReadWholeFile(config).substr(0, 4), "RVEF");
    TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* server = document->LoadFromFile(config.c_str())->GetChild(0)->FindChildByName(L"UpdateServerAddress");
    ASSERT_NE(server, nullptr);
    EXPECT_STREQ(server->GetAttribute(L"PartnerID"), L"worker");
    EXPECT_STREQ(server->GetAttribute(L"PacketName"), kPackName);
    EXPECT_STREQ(server->GetAttribute(L"PackName"), kPackName);
    EXPECT_STREQ(server->GetAttribute(L"Address"), L"127.0.0.1");

    // The install record is plain.
    const std::wstring record = folder + L"\\ReadWrite\\Installer\\InstallData.xml";
    EXPECT_EQ(RVTest::ReadWholeFile(record).substr(0, 2), "\xff\xfe");
    IXmlElement* data = document->LoadFromFile(record.c_str())->GetChild(0);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data->GetName(), L"InstallData");
    EXPECT_GE(static_cast<uint32_t>(data->GetAttributeInt(L"SetupTime")), before);
    EXPECT_LE(static_cast<uint32_t>(data->GetAttributeInt(L"SetupTime")), GetCurrentUnixTime());
    EXPECT_TRUE(data->GetAttributeBool(L"JustSetup"));

    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"DisplayIcon", L"\"" + folder + L"\\ZURovoZizizer.exe\",0"}, {L"DisplayName", kPackName},
        {L"DisplayVersion", L"9.0.1"}, {L"InstallLocation", folder}, {L"Publisher", kPackName},
        {L"UninstallString", L"\"" + folder + L"\\WMGameUninstaller.exe\""}, {L"URLInfoAbout", kHomePageAddress},
    };
    for (const auto& [name, value] : values)
        EXPECT_EQ(ReadUninstallValue(name), value) << name;

    struct Expected { std::wstring file, target, description; int icon; };
    const std::wstring updater = folder + L"\\ZURovoZizizer.exe";
    const Expected links[] = {
        {DesktopLink(), updater, L"", 1},
        {StartMenuFolder() + L"\\WendmoorTest.lnk", updater, L"", 1},
        {StartMenuFolder() + L"\\修复WendmoorTest.lnk", folder + L"\\WMGameRepairer.exe", L"WendmoorTest修复程序", 0},
        {StartMenuFolder() + L"\\卸载WendmoorTest.lnk", folder + L"\\WMGameUninstaller.exe", L"WendmoorTest卸载程序", 0},
    };
    for (const Expected& expected : links) {
        tagLink link;
        ASSERT_TRUE(ReadLink(expected.file, &link)) << expected.file;
        EXPECT_EQ(_wcsicmp(link.target.c_str(), expected.target.c_str()), 0) << link.target;
        EXPECT_EQ(_wcsicmp(link.folder.c_str(), folder.c_str()), 0) << link.folder;
        EXPECT_EQ(link.description, expected.description) << expected.file;
        EXPECT_EQ(link.icon, expected.icon) << expected.file;
    }
}

// A program path with a blank is quoted: unquoted, the system would first
// try to start "C:\Program" with the rest as its arguments.
TEST_F(InstallWorkerTest, UninstallEntryQuotesProgramPathsThatHoldBlanks)
{
    struct Case { const wchar_t* folder; const wchar_t* icon; const wchar_t* uninstall; };
    const Case cases[] = {
        {L"C:\\Games\\Wendmoor", L"C:\\Games\\Wendmoor\\ZURovoZizizer.exe,0",
         L"C:\\Games\\Wendmoor\\WMGameUninstaller.exe"},
        {L"C:\\Program Files\\Wendmoor", L"\"C:\\Program Files\\Wendmoor\\ZURovoZizizer.exe\",0",
         L"\"C:\\Program Files\\Wendmoor\\WMGameUninstaller.exe\""},
        {L"C:\\Tab\tGames", L"\"C:\\Tab\tGames\\ZURovoZizizer.exe\",0", L"\"C:\\Tab\tGames\\WMGameUninstaller.exe\""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteUninstallRegistry(kPackName, c.folder));
        EXPECT_EQ(ReadUninstallValue(L"DisplayIcon"), c.icon);
        EXPECT_EQ(ReadUninstallValue(L"UninstallString"), c.uninstall);
    }
}

// Also: without the shortcut flags no link is made, but the records are.
TEST_F(InstallWorkerTest, AnUnusableFolderFallsBackToTheDefaultInstallPath)
{
    RVTest::TempFolder target;
    ASSERT_TRUE(RVTest::WriteWholeFile(target.Child(L"file"), "a file, not a folder"));
    tagInstallPaths options = Options(target.Child(L"file\\Game"), false);
    const DWORD error = MakingError(options.path);
    CInstallWorker worker(kGameClientPackage);
    RVTest::LogCapture log;
    Install(&worker, &options);
    EXPECT_EQ(ErrorLines(), std::vector<std::wstring>{L"Install folder " + target.Child(L"file\\Game") +
                                                      L" cannot be made (system error " + std::to_wstring(error) +
                                                      L"): the default folder " + kDefaultFolder + L" is tried"});
    EXPECT_EQ(options.path, L"C:\\Program Files\\WendmoorTest");
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_FALSE(worker.IsFailed());
    EXPECT_TRUE(Exists(L"C:\\Program Files\\WendmoorTest\\ZURovoZizizer.exe"));
    EXPECT_TRUE(Exists(L"C:\\Program Files\\WendmoorTest\\ReadWrite\\Installer\\InstallData.xml"));
    EXPECT_EQ(ReadUninstallValue(L"InstallLocation"), L"C:\\Program Files\\WendmoorTest");
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    RVTest::RemoveTree(L"C:\\Program Files\\WendmoorTest");
}

// A folder that stops the install is named once, with the system's error
// that stopped it; the default folder is tried once, and not at all when it
// is the folder that failed (under any spelling).
TEST_F(InstallWorkerTest, AFolderThatStopsTheInstallIsNamedOnceWithItsOwnError)
{
    RVTest::TempFolder target;
    ASSERT_TRUE(RVTest::WriteWholeFile(target.Child(L"file"), "a file, not a folder"));
    // A file where the default folder would be made; an earlier install's
    // folder (the writer keeps a handle of it) goes first.
    CExtractedFileWriter::SetTargetFolder(nullptr);
    RVTest::RemoveTree(kDefaultFolder);
    struct tagRemovedAtTheEnd
    {
        ~tagRemovedAtTheEnd() { DeleteFileW(kDefaultFolder); }
    } removed;
    ASSERT_TRUE(RVTest::WriteWholeFile(kDefaultFolder, "a file, not a folder"));
    const std::wstring chosen = target.Child(L"file\\Game");
    const std::wstring chosenError = std::to_wstring(MakingError(chosen));
    const std::wstring defaultError = std::to_wstring(MakingError(kDefaultFolder));
    struct tagRow
    {
        std::wstring chosen;
        std::vector<std::wstring> lines;
    };
    const tagRow rows[] = {
        {kDefaultFolder,
         {L"Install stopped: install folder " + std::wstring(kDefaultFolder) + L" cannot be made (system error " +
          defaultError + L")"}},
        {L"c:\\program files\\wendmoortest\\",
         {L"Install stopped: install folder c:\\program files\\wendmoortest\\ cannot be made (system error " +
          defaultError + L")"}},
        {chosen,
         {L"Install folder " + chosen + L" cannot be made (system error " + chosenError + L"): the default folder " +
              kDefaultFolder + L" is tried",
          L"Install stopped: default install folder " + std::wstring(kDefaultFolder) +
              L" cannot be made either (system error " + defaultError + L")"}},
    };
    for (const tagRow& row : rows) {
        SCOPED_TRACE(row.chosen);
        tagInstallPaths options = Options(row.chosen, true);
        CInstallWorker worker(kGameClientPackage);
        RVTest::LogCapture log;
        Install(&worker, &options);
        EXPECT_TRUE(worker.IsFinished());
        EXPECT_TRUE(worker.IsFailed());
        EXPECT_EQ(ErrorLines(), row.lines);
    }
    EXPECT_NE(defaultError, L"0");
    EXPECT_NE(chosenError, L"0");
    EXPECT_EQ(ReadUninstallValue(L"DisplayName"), L"(missing)");
}

TEST_F(InstallWorkerTest, AFailedExtractionStopsBeforeTheRecordsAndRaisesTheFailedFlag)
{
    RVTest::TempFolder target;
    const std::wstring folder = target.Child(L"Game");
    // A folder where the package has a file: that entry cannot be written.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (folder + L"\\Data\\readme.txt").c_str(), nullptr), ERROR_SUCCESS);
    // State the updater left behind is cleared first.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (folder + L"\\ReadWrite\\Updater\\Sub").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(RVTest::WriteWholeFile(folder + L"\\ReadWrite\\Updater\\Sub\\state.dat", "old"));
    tagInstallPaths options = Options(folder, true);
    CInstallWorker worker(kGameClientPackage);
    RVTest::LogCapture log;
    Install(&worker, &options);
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_TRUE(worker.IsFailed());
    EXPECT_EQ(log.CountContaining(L"Data/readme.txt could not be written (system error 5)"), 1);
    // The progress shows what was written: one file short of the whole.
    EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent() + 1, CInstallProgress::GetInstance()->GetTotal());
    EXPECT_FALSE(Exists(folder + L"\\ReadWrite\\Updater\\Sub\\state.dat"));
    EXPECT_TRUE(Exists(folder + L"\\ReadWrite\\Updater\\Sub"));
    EXPECT_TRUE(Exists(folder + L"\\ZURovoZizizer.exe"));
    EXPECT_FALSE(Exists(folder + L"\\ReadWrite\\Installer\\InstallData.xml"));
    EXPECT_EQ(ReadUninstallValue(L"DisplayName"), L"(missing)");
    EXPECT_FALSE(Exists(DesktopLink()));

    // A package the program does not carry fails the same way.
    CInstallWorker missing(L"IDR_NO_SUCH_PACKAGE");
    tagInstallPaths other = Options(target.Child(L"Other"), false);
    Install(&missing, &other);
    EXPECT_TRUE(missing.IsFinished());
    EXPECT_TRUE(missing.IsFailed());
    EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), 0u);
}

// An install folder that is a link, or lies under one, is refused before
// anything is made or written, with a log line naming the link; the default
// folder is not tried instead.
TEST_F(InstallWorkerTest, AnInstallFolderThatIsOrLiesUnderALinkIsRefusedBeforeAnythingIsWritten)
{
    for (const wchar_t* chosen : {L"linked", L"linked\\Game", L"linked\\Deeper\\Game"}) {
        SCOPED_TRACE(chosen);
        RVTest::TempFolder target;
        const std::wstring real = target.Child(L"real");
        ASSERT_TRUE(CreateDirectoryW(real.c_str(), nullptr));
        const RVTest::PlantedLink link(target.Child(L"linked"), real, true);
        if (!link.Made())
            GTEST_SKIP() << "no links can be made here";
        tagInstallPaths options = Options(target.Child(chosen), true);
        CInstallWorker worker(kGameClientPackage);
        RVTest::LogCapture log;
        Install(&worker, &options);
        EXPECT_TRUE(worker.IsFinished());
        EXPECT_TRUE(worker.IsFailed());
        EXPECT_EQ(log.CountContaining(L"Install refused: " + target.Child(L"linked") +
                                      L" is a link, a junction or a volume mounted in a folder, and nothing is "
                                      L"installed through one"),
                  1);
        EXPECT_TRUE(std::filesystem::is_empty(real)) << "nothing made or written through the link";
        EXPECT_FALSE(Exists(L"C:\\Program Files\\WendmoorTest"));
        EXPECT_EQ(ReadUninstallValue(L"DisplayName"), L"(missing)");
        EXPECT_FALSE(Exists(DesktopLink()));
    }
}

// After the game files, the updater configuration and the install record
// are written through the install folder's handles too: a folder swapped
// for a link since leads them nowhere, and what it leads to stays as it was.
TEST_F(InstallWorkerTest, TheUpdaterConfigurationAndInstallRecordAreNotWrittenThroughALink)
{
    RVTest::TempFolder target;
    const std::wstring install = target.Child(L"Game");
    const std::wstring outside = target.Child(L"outside");
    ASSERT_TRUE(CreateDirectoryW(install.c_str(), nullptr));
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (outside + L"\\Set").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(CreateDirectoryW((outside + L"\\Installer").c_str(), nullptr));
    const std::string config = Utf16File(L"<UpdaterConfig><UpdateServerAddress Address=\"1.2.3.4\"/></UpdaterConfig>");
    ASSERT_TRUE(RVTest::WriteWholeFile(outside + L"\\Set\\UpdaterConfig.xml", config));
    const RVTest::PlantedLink updater(install + L"\\Updater", outside, true);
    const RVTest::PlantedLink readWrite(install + L"\\ReadWrite", outside, true);
    if (!updater.Made() || !readWrite.Made())
        GTEST_SKIP() << "no links can be made here";
    RVTest::ScopedCurrentFolder inside(install);
    RVTest::LogCapture log;
    EXPECT_FALSE(WriteUpdaterConfig(kPackName));
    EXPECT_FALSE(WriteInstallData(kInstallDataFile));
    EXPECT_EQ(RVTest::ReadWholeFile(outside + L"\\Set\\UpdaterConfig.xml"), config);
    EXPECT_FALSE(Exists(outside + L"\\Installer\\InstallData.xml"));
    EXPECT_EQ(log.CountContaining(L"not written: a link, a junction or a volume mounted in a folder on its path"), 2);
}

// The Start-menu folder planted as a link to another folder before the
// install: no link file lands there, each refusal is logged; the desktop
// link beside it is still written.
TEST_F(InstallWorkerTest, ShortcutsAreNotWrittenThroughALinkedStartMenuFolder)
{
    RVTest::TempFolder outside;
    const RVTest::PlantedLink planted(StartMenuFolder(), outside.Path(), true);
    if (!planted.Made())
        GTEST_SKIP() << "no links can be made here";
    RVTest::TempFolder install;
    RVTest::ScopedCurrentFolder inside(install.Path());
    RVTest::LogCapture log;
    for (const wchar_t* name : {L"WendmoorTest.lnk", L"修复WendmoorTest.lnk"})
        EXPECT_FALSE(CreateProgramsShortcut(kUpdaterProgram, L"d", kPackName, name, 0)) << name;
    EXPECT_TRUE(CreateDesktopShortcut(kUpdaterProgram, L"d", L"WendmoorTest.lnk", 1));
    EXPECT_EQ(log.CountContaining(L"(a link, a junction or a volume mounted in a folder on the way, system error"), 2);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((outside.Path() + L"\\*.lnk").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a link file was written through the link";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    tagLink desktop;
    ASSERT_TRUE(ReadLink(DesktopLink(), &desktop));
    EXPECT_EQ(desktop.target, install.Path() + L"\\" + kUpdaterProgram);
    EXPECT_EQ(desktop.icon, 1);
}

// The package is written while it is inflated: one cut off half-way fails the
// install after the files before the cut, and nothing lands outside the folder.
TEST_F(InstallWorkerTest, APackageDamagedPartWayFailsTheInstallInsideItsFolder)
{
    RVTest::TempFolder target;
    const std::wstring folder = target.Child(L"Game");
    tagInstallPaths options = Options(folder, true);
    CInstallWorker worker(L"IDR_DAMAGED_CLIENT");
    RVTest::LogCapture log;
    Install(&worker, &options);
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_TRUE(worker.IsFailed());
    EXPECT_EQ(log.CountContaining(L"Package IDR_DAMAGED_CLIENT is damaged"), 2);
    const uint32_t done = CInstallProgress::GetInstance()->GetCurrent();
    EXPECT_GT(done, 0u);
    EXPECT_LT(done, CInstallProgress::GetInstance()->GetTotal());
    EXPECT_EQ(log.CountContaining(L"Written before the damage: "), static_cast<int>(done));
    std::vector<std::wstring> outside;
    for (const auto& file : std::filesystem::recursive_directory_iterator(target.Path()))
        if (file.path().wstring().compare(0, folder.size() + 1, folder + L"\\") != 0)
            outside.push_back(file.path().wstring());
    EXPECT_EQ(outside, std::vector<std::wstring>{folder}) << "only the install folder itself";
    EXPECT_FALSE(Exists(folder + L"\\ReadWrite\\Installer\\InstallData.xml"));
    EXPECT_EQ(ReadUninstallValue(L"DisplayName"), L"(missing)");
    EXPECT_FALSE(Exists(DesktopLink()));
}

TEST_F(InstallWorkerTest, TheProcessWorkerRunsOnceWhateverTheNumberOfStarts)
{
    RVTest::TempFolder target;
    static tagInstallPaths options;
    options = Options(target.Child(L"Game"), false);
    RVTest::ScopedCurrentFolder fromTheWindowFiles(s_ui->Path());
    RVTest::LogCapture log;
    EXPECT_FALSE(IsInstallThreadRunning());
    SetInstallOption(&options);
    StartInstallThread();
    StartInstallThread();
    EXPECT_TRUE(IsInstallThreadRunning());
    for (int waited = 0; waited < 6000 && !IsInstallFinished(); ++waited)
        Sleep(10);
    ASSERT_TRUE(IsInstallFinished());
    EXPECT_FALSE(IsInstallFailed());
    // The finished flag is raised inside the worker: its thread is waited for.
    EXPECT_TRUE(WaitForInstallThread(60000));
    // A start that ran the worker again would be the thread waited for here.
    StartInstallThread();
    EXPECT_TRUE(WaitForInstallThread(60000));
    EXPECT_EQ(log.CountContaining(L"begins"), 1);
    EXPECT_TRUE(Exists(target.Child(L"Game\\ZURovoZizizer.exe")));
}

} // namespace
