// Partner identity, partner configuration, silent start, drive choice and
// install folders.

#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/PartnerFunctions.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using InstallerTests::ExtractPackageInto;

TEST(PartnerIdentity, ComesFromTheFileNameAfterItsLastUnderscore)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Games\\Setup_abc.exe", L"abc"},
        {L"C:\\Games\\Setup_abc(2).exe", L"abc"},
        {L"C:\\a_b_c.exe", L"c"},
        {L"C:\\Games\\Setup.exe", L"Official"},
        {L"C:\\my_folder\\Setup.exe", L"Official"},
        {L"C:\\x_(2).exe", L""},
        {L"Setup_SILENT.exe", L"SILENT"},
    };
    for (const auto& [path, identity] : cases)
        EXPECT_EQ(PartnerIDFromProgramPath(path), identity) << path;
    // This test program is test_installer_worker.exe and has no "PartnerID" option.
    EXPECT_EQ(GetPartnerIDFromCommandLine(), L"");
    EXPECT_EQ(GetPartnerID(), L"worker");
    EXPECT_TRUE(IsPartner(L"OR"));
    EXPECT_FALSE(IsPartner(L"silent"));
}

// Run only as the child of the test below: reports this copy's partner
// identity and silent test into the file the environment names.
TEST(PartnerIdentity, ReportForAParentRun)
{
    wchar_t report[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"RV_PARTNER_REPORT", report, MAX_PATH) == 0)
        GTEST_SKIP() << "run by CommandLineOptionWinsOverTheFileName";
    const std::wstring text = GetPartnerID() + (IsSilentInstall() ? L"|silent" : L"|");
    RVTest::WriteWholeFile(report, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
}

TEST(PartnerIdentity, CommandLineOptionWinsOverTheFileName)
{
    struct Case { const wchar_t* fileName; const wchar_t* options; const wchar_t* report; };
    const Case cases[] = {
        {L"Setup_xyz(2).exe", L"PartnerID=abc", L"abc|"},
        {L"Setup_xyz(2).exe", L"PartnerID=abcdefghijklmnopqrst", L"abcdefghijklmnopqrst|"},
        {L"Setup_xyz(2).exe", L"SILENT=TRUE", L"xyz|silent"},
        {L"Setup_xyz(2).exe", L"PartnerID=xSilent", L"xSilent|silent"},
    };
    RVTest::TempFolder folder;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring report = folder.Child(L"report.txt");
    SetEnvironmentVariableW(L"RV_PARTNER_REPORT", report.c_str());
    for (const Case& c : cases) {
        const std::wstring copy = folder.Child(c.fileName);
        CopyFileW(self, copy.c_str(), FALSE);
        DeleteFileW(report.c_str());
        std::wstring commandLine = L"\"" + copy + L"\" " + c.options +
                                   L" --gtest_filter=PartnerIdentity.ReportForAParentRun";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &child));
        const RVGameEngine::Common::CScopedKernelHandle process(child.hProcess);
        const RVGameEngine::Common::CScopedKernelHandle thread(child.hThread);
        EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
        const std::string bytes = RVTest::ReadWholeFile(report);
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2), c.report)
            << c.fileName << L" " << c.options;
    }
    SetEnvironmentVariableW(L"RV_PARTNER_REPORT", nullptr);
}

// Only the statistics record's fixed field cuts the identity; everywhere else
// a long identity is used whole, so that its partner finds its own entry.
TEST(PartnerIdentity, TextTheDocumentsCannotHoldIsRefusedAndLongTextIsKeptWhole)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"abc", L"abc"},
        {L"a\"b", L""},
        {L"a\r\nb", L""},
        {L"tab\there", L""},
        {L"123456789012345", L"123456789012345"},
        {L"1234567890123456789", L"1234567890123456789"},
        {L"\u4e2d\u6587\u4e2d\u6587\u4e2d\u6587\u4e2d\u6587", L"\u4e2d\u6587\u4e2d\u6587\u4e2d\u6587\u4e2d\u6587"},
    };
    RVTest::LogCapture log;
    for (const auto& [identity, accepted] : cases)
        EXPECT_EQ(AcceptablePartnerID(identity, L"test"), accepted) << identity.size();
    EXPECT_EQ(log.CountContaining(L"refused"), 3);
    EXPECT_EQ(log.CountContaining(L"cut"), 0);
}

TEST(PartnerIdentity, ContainsNoCaseAndSilentStart)
{
    struct Case { const wchar_t* text; const wchar_t* part; bool contains; };
    const Case cases[] = {{L"", L"", false}, {L"abc", L"", true}, {L"aBc", L"BC", true}, {L"ab", L"abc", false}};
    for (const Case& c : cases)
        EXPECT_EQ(ContainsNoCase(c.text, c.part), c.contains) << c.text << L" / " << c.part;

    struct Silent { const wchar_t* optionSILENT; const wchar_t* optionSilent; const wchar_t* partner; const wchar_t* path; bool silent; };
    const Silent silents[] = {
        {L"TRUE", L"", L"abc", L"C:\\Setup.exe", true},
        {L"true", L"", L"abc", L"C:\\Setup.exe", false},
        {L"", L"true", L"abc", L"C:\\Setup.exe", true},
        {L"", L"TRUE", L"abc", L"C:\\Setup.exe", false},
        {L"", L"", L"xxsilent", L"C:\\Setup.exe", true},
        {L"", L"", L"abc", L"C:\\Silent\\Setup.exe", true},
        {L"", L"", L"abc", L"C:\\Setup.exe", false},
    };
    for (const Silent& s : silents)
        EXPECT_EQ(IsSilentInstallFor(s.optionSILENT, s.optionSilent, s.partner, s.path), s.silent)
            << s.optionSILENT << L"|" << s.optionSilent << L"|" << s.partner << L"|" << s.path;
    EXPECT_FALSE(IsSilentInstall());
}

TEST(PartnerConfiguration, ExactEntriesWinOverContainsRulesAndMissingFilesGiveDefaults)
{
    RVTest::TempFolder ui;
    ASSERT_TRUE(ExtractPackageInto(kInstallerPackage, ui.Path()));
    const std::wstring shipped = ui.Child(L"Installer\\Set\\PartnerConfig.xml");
    struct Case { const wchar_t* partner; bool found; const wchar_t* packName; int32_t icon; };
    const Case cases[] = {
        {L"Official", true, L"Wendmoor", 0},
        {L"PartnerA7", true, L"Wendmoor", 1},           // exact entry beats the "partnera" rule
        {L"partnera7", true, L"Wendmoor Partner", 3},   // exact entries compare letter case
        {L"xPARTNERAx", true, L"Wendmoor Partner", 3},
        {L"Moorland", true, L"Wendmoor Moorland", 2},
        {L"nobody", false, L"", -7},
    };
    for (const Case& c : cases) {
        std::wstring packName;
        int32_t icon = -7;
        EXPECT_EQ(FindPartnerSettings(shipped.c_str(), c.partner, &packName, &icon), c.found) << c.partner;
        EXPECT_EQ(packName, c.packName) << c.partner;
        EXPECT_EQ(icon, c.icon) << c.partner;
    }

    // A rule without "Contains" matches every identity that is not empty; a
    // first element of another name is no list of exact entries.
    const std::wstring own = ui.Child(L"own.xml");
    const std::wstring text = L"<Other>\r\n<P PartnerID=\"abc\" PackName=\"Wrong\"/>\r\n</Other>\r\n"
                              L"<PartnerContainsConfig>\r\n<R PackName=\"Anyone\" IconIndex=\"4\"/>\r\n"
                              L"</PartnerContainsConfig>\r\n";
    ASSERT_TRUE(RVTest::WriteWholeFile(
        own, std::string("\xff\xfe", 2) + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2)));
    std::wstring packName;
    int32_t icon = 0;
    EXPECT_TRUE(FindPartnerSettings(own.c_str(), L"abc", &packName, &icon));
    EXPECT_EQ(packName, L"Anyone");
    EXPECT_EQ(icon, 4);
    EXPECT_FALSE(FindPartnerSettings(own.c_str(), L"", &packName, &icon));

    // Outside the unpacked package there is no configuration: the defaults.
    RVTest::TempFolder elsewhere;
    RVTest::ScopedCurrentFolder inside(elsewhere.Path());
    EXPECT_EQ(GetPartnerPackName(), L"Wendmoor");
    EXPECT_EQ(LoadPartnerConfig(), 0);
}

// The pack name names the install folder, the shortcut folder and links and
// the uninstall key: anything but one plain name is refused for the default.
TEST(PartnerConfiguration, PackNamesThatAreNoPlainNameGiveTheDefault)
{
    struct Case { const wchar_t* packName; const wchar_t* given; };
    const Case cases[] = {
        {L"..\\..\\Windows", L"Wendmoor"}, {L"Games\\Wendmoor", L"Wendmoor"}, {L"a/b", L"Wendmoor"},
        {L"..", L"Wendmoor"}, {L"C:Wendmoor", L"Wendmoor"}, {L"Wendmoor.", L"Wendmoor"},
        {L"Wendmoor ", L"Wendmoor"}, {L"NUL.txt", L"Wendmoor"}, {L"Wend*moor", L"Wendmoor"},
        {L"Wendmoor Partner", L"Wendmoor Partner"}, {L"温德摩尔", L"温德摩尔"}, {L"Wendmoor.v2", L"Wendmoor.v2"},
        {L"", L""},
    };
    RVTest::TempFolder folder;
    const std::wstring file = folder.Child(L"PartnerConfig.xml");
    for (const Case& c : cases) {
        const std::wstring text =
            std::wstring(L"<PartnerConfig>\r\n<P PartnerID=\"abc\" PackName=\"") + c.packName +
            L"\" IconIndex=\"5\"/>\r\n</PartnerConfig>\r\n";
        ASSERT_TRUE(RVTest::WriteWholeFile(file, std::string("\xff\xfe", 2) +
                                                     std::string(reinterpret_cast<const char*>(text.data()),
                                                                 text.size() * 2)));
        RVTest::LogCapture log;
        std::wstring packName;
        int32_t icon = 0;
        EXPECT_TRUE(FindPartnerSettings(file.c_str(), L"abc", &packName, &icon)) << c.packName;
        EXPECT_EQ(packName, c.given) << c.packName;
        EXPECT_EQ(icon, 5) << c.packName;
        const bool refused = std::wstring(c.given) != c.packName;
        EXPECT_EQ(log.CountContaining(L"of the partner configuration refused"), refused ? 1 : 0) << c.packName;
    }
}

std::map<wchar_t, int32_t> g_freeMB;

int32_t TableFreeMB(int32_t driveIndex)
{
    const auto found = g_freeMB.find(static_cast<wchar_t>(L'A' + driveIndex));
    return found == g_freeMB.end() ? 0 : found->second;
}

TEST(InstallDrive, FirstDriveOfTheSearchOrderWithAHundredMegabytesFree)
{
    SetDriveFreeSpaceQuery(TableFreeMB);
    struct Case { std::map<wchar_t, int32_t> freeMB; wchar_t chosen; };
    const Case cases[] = {
        {{{L'D', 99}, {L'C', 5000}}, L'C'},
        {{{L'D', 100}, {L'C', 5000}}, L'D'},
        {{{L'C', 99}, {L'E', 99}, {L'Z', 100}}, L'Z'},
        {{{L'A', 500}, {L'Z', 100}}, L'Z'},
        {{{L'A', 500}, {L'B', 500}}, L'A'},
        {{{L'C', 99}, {L'D', 0}}, kNoDrive},
        {{}, kNoDrive},
    };
    for (const Case& c : cases) {
        g_freeMB = c.freeMB;
        FindInstallDrive();
        EXPECT_EQ(GetInstallDriveLetter(), c.chosen);
    }
    g_freeMB = {{L'D', 100}, {L'E', 99}};
    const std::pair<wchar_t, bool> letters[] = {{L'D', true}, {L'd', true}, {L'E', false},
                                                {L'1', false}, {L'@', false}, {L'[', false}};
    for (const auto& [letter, enough] : letters)
        EXPECT_EQ(HasEnoughFreeSpace(letter), enough) << letter;
    SetDriveFreeSpaceQuery(nullptr);
}

TEST(InstallDrive, DefaultAndTemporaryPathsFollowTheDriveAndProgramFilesFolder)
{
    g_freeMB = {{L'D', 200}};
    SetDriveFreeSpaceQuery(TableFreeMB);
    FindInstallDrive();
    SetDriveFreeSpaceQuery(nullptr);
    RVTest::TempFolder elsewhere;
    RVTest::ScopedCurrentFolder inside(elsewhere.Path());
    ASSERT_FALSE(HasProgramFilesX86());
    EXPECT_EQ(GetDefaultInstallPath(), L"D:\\Program Files\\Wendmoor");
    EXPECT_EQ(GetTempInstallPath(), L"D:/Program Files/Wendmoor/Temp");
    ASSERT_TRUE(CreateDirectoryW(L"C:\\Program Files (x86)", nullptr));
    EXPECT_TRUE(HasProgramFilesX86());
    EXPECT_EQ(GetDefaultInstallPath(), L"D:\\Program Files (x86)\\Wendmoor");
    EXPECT_EQ(GetTempInstallPath(), L"D:/Program Files (x86)/Wendmoor/Temp");
    RemoveDirectoryW(L"C:\\Program Files (x86)");
}

// A picked folder becomes the game's own unless it already is: the game's
// uninstaller later removes it whole, so a folder of the player's files that
// merely mentions the pack name must get a folder of the game's inside it.
TEST(InstallFolder, APickedFolderGetsThePackNameUnlessItsLastPartIsIt)
{
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"D:\\Games", L"D:\\Games\\Wendmoor"},
        {L"D:\\", L"D:\\Wendmoor"},
        {L"D:", L"D:\\Wendmoor"},
        {L"D:\\Games\\Wendmoor", L"D:\\Games\\Wendmoor"},
        {L"D:\\Games\\wendMOOR", L"D:\\Games\\wendMOOR"},
        {L"D:\\Games\\Wendmoor\\", L"D:\\Games\\Wendmoor\\"},
        {L"D:/Games/Wendmoor", L"D:/Games/Wendmoor"},
        {L"C:\\Users\\Wendmoor\\Documents", L"C:\\Users\\Wendmoor\\Documents\\Wendmoor"},
        {L"D:\\Wendmoor backups", L"D:\\Wendmoor backups\\Wendmoor"},
        {L"D:\\WENDMOOR2\\x", L"D:\\WENDMOOR2\\x\\Wendmoor"},
        {L"e:\\my wendmoor games", L"e:\\my wendmoor games\\Wendmoor"},
        {L"D:\\Games\\Wendmoor2", L"D:\\Games\\Wendmoor2\\Wendmoor"},
        {L"D:\\Wend", L"D:\\Wend\\Wendmoor"},
    };
    for (const auto& [chosen, installed] : rows)
        EXPECT_EQ(FolderWithPackName(chosen, L"Wendmoor"), installed) << chosen;
    // A pack name of two words, and one outside ASCII.
    EXPECT_EQ(FolderWithPackName(L"D:\\Wendmoor Moorland", L"Wendmoor Moorland"), L"D:\\Wendmoor Moorland");
    EXPECT_EQ(FolderWithPackName(L"D:\\Games\\\u6e38\u620f", L"\u6e38\u620f"), L"D:\\Games\\\u6e38\u620f");
    EXPECT_EQ(FolderWithPackName(L"D:\\\u6e38\u620f\u5b58\u6863", L"\u6e38\u620f"),
              L"D:\\\u6e38\u620f\u5b58\u6863\\\u6e38\u620f");
}

// The last part is compared as the system compares names in a folder: a
// letter outside A-Z in the other case still names the same folder. Such a
// folder is taken as the game's own as it stands, with no folder of the
// game's made inside it, so the game's uninstaller later removes it whole,
// with any of the player's files in it; a last part of another name gets a
// folder of the game's inside, and only that one is removed.
TEST(InstallFolder, ThePackNameIsFoundInTheLastPartWhateverTheCaseOfAnyLetter)
{
    struct tagRow
    {
        const wchar_t* chosen;
        const wchar_t* packName;
        const wchar_t* installed;
    };
    const tagRow rows[] = {
        // Latin letters beyond A-Z.
        {L"D:\\Games\\ärger", L"Ärger", L"D:\\Games\\ärger"},
        {L"D:\\Games\\ÄRGER", L"ärger", L"D:\\Games\\ÄRGER"},
        {L"D:\\ørsted\\", L"Ørsted", L"D:\\ørsted\\"},
        // Cyrillic and Greek.
        {L"D:\\игра", L"Игра", L"D:\\игра"},
        {L"D:\\ИГРА", L"игра", L"D:\\ИГРА"},
        {L"D:/παιχνίδι", L"ΠΑΙΧΝΊΔΙ", L"D:/παιχνίδι"},
        // Other letters are other names, in either case.
        {L"D:\\Games\\ärger", L"Arger", L"D:\\Games\\ärger\\Arger"},
        {L"D:\\игра", L"Игры", L"D:\\игра\\Игры"},
        {L"D:\\ИГРА 2", L"игра", L"D:\\ИГРА 2\\игра"},
    };
    for (const tagRow& row : rows)
        EXPECT_EQ(FolderWithPackName(row.chosen, row.packName), row.installed) << row.chosen << L" | " << row.packName;
}

} // namespace
