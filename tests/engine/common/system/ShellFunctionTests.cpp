#include "HelperProcess.h"

#include "engine/common/ShellFunctions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

std::wstring Text(const TIntrusivePointer<IString>& text)
{
    return text->GetUtf16();
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

// Makes a folder current for its lifetime.
class CurrentFolderScope
{
public:
    explicit CurrentFolderScope(const std::wstring& folder) : m_previous(CurrentFolder())
    {
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolderScope() { SetCurrentDirectoryW(m_previous.c_str()); }

private:
    std::wstring m_previous;
};

struct LoadedShortcut
{
    std::wstring target, workingFolder, description, iconFile;
    int iconIndex = -1;
};

bool LoadShortcut(const std::wstring& file, LoadedShortcut* loaded)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* persist = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
              SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
    if (ok) {
        wchar_t text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        loaded->target = text;
        link->GetWorkingDirectory(text, MAX_PATH);
        loaded->workingFolder = text;
        link->GetDescription(text, MAX_PATH);
        loaded->description = text;
        link->GetIconLocation(text, MAX_PATH, &loaded->iconIndex);
        loaded->iconFile = text;
    }
    if (persist != nullptr)
        persist->Release();
    link->Release();
    return ok;
}

} // namespace

TEST(ProcessURL, WebAddressesComeBackUnchanged)
{
    for (const wchar_t* address : {L"http://example.com/a?b=c", L"HTTP:\\\\host", L"hTtP:/\\host",
                                   L"https://example.com/x", L"HTTPS:\\\\secure"})
        EXPECT_EQ(Text(ProcessURL(address)), address);
}

TEST(ProcessURL, PathsAreMadeFullAndCanonical)
{
    RVTest::TempFolder folder;
    CurrentFolderScope current(folder.Path());
    EXPECT_EQ(Text(ProcessURL(L"C:\\a\\b\\..\\c.htm")), L"C:\\a\\c.htm");
    // GetShortPath gives the current folder in its short form, the way the
    // joined path is built.
    const std::wstring base = Text(GetShortPath(CurrentFolder().c_str()));
    const std::wstring joined = Text(ProcessURL(L"pages\\.\\index.htm"));
    EXPECT_TRUE(joined == CurrentFolder() + L"\\pages\\index.htm" || joined == base + L"\\pages\\index.htm")
        << joined.c_str();
    // Not a web address: "http:" needs two separators after it.
    EXPECT_EQ(Text(ProcessURL(L"http:x")), CurrentFolder() + L"\\http:x");
}

TEST(ProgramPaths, FolderKeepsItsSeparator)
{
    EXPECT_EQ(Text(GetFolderOfPath(L"D:\\Games\\setup.exe")), L"D:\\Games\\");
    EXPECT_EQ(Text(GetFolderOfPath(L"D:/A/B/setup.exe")), L"D:/A/B/");
    EXPECT_EQ(Text(GetFolderOfPath(L"setup.exe")), L"setup.exe");
    const std::wstring path = Text(GetProgramPath());
    const std::wstring folder = Text(GetProgramDir());
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
    EXPECT_TRUE(IsDirectoryExists(folder.c_str()));
    EXPECT_FALSE(IsDirectoryExists(path.c_str()));
    EXPECT_FALSE(IsDirectoryExists(L"C:\\no\\such\\folder"));
    EXPECT_FALSE(IsDirectoryExists(nullptr));
    EXPECT_EQ(Text(GetShortPath(L"C:\\no\\such\\file.txt")), L"C:\\no\\such\\file.txt");
}

TEST(ProgramPaths, SpecialFoldersAreAnswered)
{
    EXPECT_FALSE(Text(GetDesktopDir()).empty());
    EXPECT_FALSE(Text(GetDocumentDir()).empty());
    EXPECT_FALSE(Text(GetProgramsDir()).empty());
}

TEST(Shortcuts, SavedShortcutLoadsBackWithEverySetting)
{
    CoInitialize(nullptr);
    RVTest::TempFolder folder;
    const std::wstring target = SystemTests::HelperPath();
    const std::wstring file = folder.Child(L"Helper.lnk");
    ASSERT_TRUE(CreateShortcut1(target.c_str(), folder.Path().c_str(), L"Wendmoor 测试", file.c_str(), 3));
    LoadedShortcut loaded;
    ASSERT_TRUE(LoadShortcut(file, &loaded));
    EXPECT_EQ(loaded.target, target);
    EXPECT_EQ(loaded.workingFolder, folder.Path());
    EXPECT_EQ(loaded.description, L"Wendmoor 测试");
    EXPECT_EQ(loaded.iconFile, target);
    EXPECT_EQ(loaded.iconIndex, 3);

    const std::wstring plain = folder.Child(L"Plain.lnk");
    ASSERT_TRUE(CreateShortcut(target.c_str(), nullptr, nullptr, plain.c_str()));
    ASSERT_TRUE(LoadShortcut(plain, &loaded));
    EXPECT_EQ(loaded.target, target);
    EXPECT_EQ(loaded.iconIndex, 0);
    CoUninitialize();
}

TEST(Shortcuts, WithoutAFileNothingIsWritten)
{
    CoInitialize(nullptr);
    RVTest::TempFolder folder;
    CurrentFolderScope current(folder.Path());
    EXPECT_TRUE(CreateShortcut1(SystemTests::HelperPath().c_str(), nullptr, L"d", nullptr, 1));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.Child(L"*.lnk").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_FALSE(CreateShortcut(L"C:\\x.exe", nullptr, nullptr, L"C:\\no\\such\\folder\\x.lnk"));
    CoUninitialize();
}
