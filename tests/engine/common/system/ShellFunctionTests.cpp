// Winsock before <windows.h>.
#include "tests/servers/PeerEnvironment.h"

#include "HelperProcess.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace RVGameEngine::Common;

namespace {

std::wstring Text(const TIntrusivePointer<IString>& text) { return text->GetUtf16(); }

// A shortcut file's target|working folder|description|icon file|icon index.
std::wstring LoadShortcut(const std::wstring& file)
{
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    wchar_t text[4][MAX_PATH] = {};
    int iconIndex = -1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetWorkingDirectory(text[1], MAX_PATH)) && SUCCEEDED(link->GetDescription(text[2], MAX_PATH)))
        link->GetIconLocation(text[3], MAX_PATH, &iconIndex);
    for (IUnknown* held : {static_cast<IUnknown*>(persist), static_cast<IUnknown*>(link)})
        if (held != nullptr)
            held->Release();
    std::wstring loaded;
    for (const wchar_t* part : text)
        loaded += std::wstring(part) + L"|";
    return loaded + std::to_wstring(iconIndex);
}

} // namespace

TEST(ProcessURL, WebAddressesStayAndPathsAreMadeFullAndCanonical)
{
    for (const wchar_t* address : {L"http://example.com/a?b=c", L"HTTP:\\\\host", L"hTtP:/\\host",
                                   L"https://example.com/x", L"HTTPS:\\\\secure"})
        EXPECT_EQ(Text(ProcessURL(address)), address);
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current(folder.Path());
    wchar_t here[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, here);
    EXPECT_EQ(Text(ProcessURL(L"C:\\a\\b\\..\\c.htm")), L"C:\\a\\c.htm");
    // The joined path may start from the short form of the current folder.
    const std::wstring joined = Text(ProcessURL(L"pages\\.\\index.htm"));
    EXPECT_TRUE(joined == here + std::wstring(L"\\pages\\index.htm") ||
                joined == Text(GetShortPath(here)) + L"\\pages\\index.htm")
        << joined.c_str();
    // Not a web address: "http:" needs two separators after it.
    EXPECT_EQ(Text(ProcessURL(L"http:x")), here + std::wstring(L"\\http:x"));
}

TEST(ProgramPaths, FoldersKeepTheirSeparator)
{
    EXPECT_EQ(Text(GetFolderOfPath(L"D:\\Games\\setup.exe")), L"D:\\Games\\");
    EXPECT_EQ(Text(GetFolderOfPath(L"D:/A/B/setup.exe")), L"D:/A/B/");
    EXPECT_EQ(Text(GetFolderOfPath(L"setup.exe")), L"setup.exe");
    const std::wstring path = Text(GetProgramPath()), folder = Text(GetProgramDir());
    ASSERT_TRUE(!folder.empty() && folder.back() == L'\\') << folder.c_str();
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
    EXPECT_TRUE(IsDirectoryExists(folder.c_str()));
    for (const wchar_t* notFolder : {path.c_str(), L"C:\\no\\such\\folder", static_cast<const wchar_t*>(nullptr)})
        EXPECT_FALSE(IsDirectoryExists(notFolder));
    EXPECT_EQ(Text(GetShortPath(L"C:\\no\\such\\file.txt")), L"C:\\no\\such\\file.txt");
    for (const std::wstring& special : {Text(GetDesktopDir()), Text(GetDocumentDir()), Text(GetProgramsDir())})
        EXPECT_TRUE(IsDirectoryExists(special.c_str())) << special.c_str();
}

TEST(Shortcuts, SavedShortcutLoadsBackWithEverySetting)
{
    CoInitialize(nullptr);
    RVTest::TempFolder folder;
    const std::wstring target = SystemTests::HelperPath(), file = folder.Child(L"Helper.lnk");
    ASSERT_TRUE(CreateShortcut1(target.c_str(), folder.Path().c_str(), L"Wendmoor 测试", file.c_str(), 3));
    EXPECT_EQ(LoadShortcut(file), target + L"|" + folder.Path() + L"|Wendmoor 测试|" + target + L"|3");
    ASSERT_TRUE(CreateShortcut(target.c_str(), nullptr, nullptr, file.c_str()));
    EXPECT_EQ(LoadShortcut(file), target + L"||||0");
    EXPECT_FALSE(CreateShortcut(L"C:\\x.exe", nullptr, nullptr, L"C:\\no\\such\\folder\\x.lnk"));
    // Without a file name nothing is written, not even in the current folder.
    RVTest::TempFolder empty;
    RVTest::ScopedCurrentFolder current(empty.Path());
    EXPECT_TRUE(CreateShortcut1(target.c_str(), nullptr, L"d", nullptr, 1));
    WIN32_FIND_DATAW found;
    EXPECT_FALSE(FindClose(FindFirstFileW(empty.Child(L"*.lnk").c_str(), &found))) << "a shortcut was written";
    CoUninitialize();
}

namespace {

ELEVATION g_selfElevation = ELEVATION_NONE;
ELEVATION g_shellElevation = ELEVATION_NONE;

// This process and the desktop shell as the row has them.
ELEVATION PlayedElevation(DWORD processId)
{
    return processId == GetCurrentProcessId() ? g_selfElevation : g_shellElevation;
}

// The played elevations and COM for one test: both go with it, even when an
// assertion ends it early, so no later test opens links as this one played.
struct PlayedElevationScope
{
    PlayedElevationScope()
    {
        CoInitialize(nullptr);
        SetElevationQuery(PlayedElevation);
    }
    ~PlayedElevationScope()
    {
        SetElevationQuery(nullptr);
        CoUninitialize();
    }
};

} // namespace

// A link opened while this program runs elevated and the shell as the user
// is opened by the shell (the program it starts is the shell's child, not
// ours); elevated with the shell's rights unknown it is not opened at all
// (a browser with administrator rights is worse than none), with a log line;
// in every other case the program opens it itself, as before.
TEST(WebLinks, AnElevatedProgramHasTheUsersShellOpenThem)
{
    enum Opener { BY_THE_SHELL, BY_THIS_PROGRAM, NOBODY };
    struct Case { ELEVATION self; ELEVATION shell; Opener opener; };
    const Case cases[] = {
        {ELEVATION_FULL, ELEVATION_NONE, BY_THE_SHELL},
        {ELEVATION_FULL, ELEVATION_FULL, BY_THIS_PROGRAM},
        {ELEVATION_NONE, ELEVATION_NONE, BY_THIS_PROGRAM},
        {ELEVATION_FULL, ELEVATION_UNKNOWN, NOBODY},
    };
    // No shell window (process 0) is a shell of unknown rights.
    EXPECT_EQ(GetProcessElevation(0), ELEVATION_UNKNOWN);
    const PlayedElevationScope played;
    for (const Case& c : cases) {
        g_selfElevation = c.self;
        g_shellElevation = c.shell;
        RVTest::TempFolder folder;
        const std::wstring page = folder.Child(L"page.exe"), report = page + L".out";
        ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), page.c_str(), TRUE));
        RVTest::LogCapture log;
        OpenWebLink(page.c_str());
        EXPECT_EQ(log.CountContaining(L"not opened: the desktop shell's rights are unknown"),
                  c.opener == NOBODY ? 1 : 0)
            << c.self << " " << c.shell;
        if (c.opener == NOBODY) {
            // A program the link started is running from the file when the
            // call returns (its file cannot be deleted), or has ended after
            // writing its report.
            EXPECT_TRUE(DeleteFileW(page.c_str())) << "the link was opened";
            EXPECT_EQ(GetFileAttributesW(report.c_str()), INVALID_FILE_ATTRIBUTES) << "the link was opened";
            continue;
        }
        ASSERT_TRUE(RVTest::WaitFor([&] { return SystemTests::ReadReport(report).size() >= 2; }, 60000))
            << c.self << " " << c.shell;
        const std::wstring parent = SystemTests::ReadReport(report)[0];
        EXPECT_EQ(parent == L"parent:" + std::to_wstring(GetCurrentProcessId()), c.opener == BY_THIS_PROGRAM)
            << c.self << " " << c.shell << " " << parent.c_str();
        // The helper has ended once it has reported; its file can go.
        RVTest::WaitFor([&] { return DeleteFileW(page.c_str()) != FALSE; }, 10000);
    }
}
