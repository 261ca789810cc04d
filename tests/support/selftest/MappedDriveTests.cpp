#include "tests/support/MappedDrive.h"

#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include "engine/common/system/FolderRemovalFunctions.h"

#include <gtest/gtest.h>
#include <windows.h>

using RVGameEngine::Common::FOLDER_REMOVAL_WHOLE_TREE;
using RVGameEngine::Common::RemoveFolderTree;

// Each drive reaches its own folder while it lives, and none once it has
// gone (its letter may be another program's by then); the folders are then
// removed as any others, none taken for one reached through a link.
TEST(MappedDrive, FoldersAreReachedThroughTheirLettersUntilTheDrivesGo)
{
    const RVTest::TempFolder parent;
    const std::wstring folders[] = {parent.Child(L"one"), parent.Child(L"two")};
    const std::wstring name = L"mapped-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    std::wstring roots[2];
    for (const std::wstring& folder : folders)
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    {
        const RVTest::MappedDrive drives[] = {RVTest::MappedDrive(folders[0]), RVTest::MappedDrive(folders[1])};
        for (size_t i = 0; i < 2; ++i) {
            ASSERT_FALSE(drives[i].Root().empty()) << drives[i].WhyNone();
            EXPECT_EQ(drives[i].WhyNone(), "");
            roots[i] = drives[i].Root();
            ASSERT_TRUE(RVTest::WriteWholeFile(roots[i] + L"\\" + name, std::to_string(i)));
        }
        EXPECT_NE(roots[0], roots[1]);
    }
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(RVTest::ReadWholeFile(folders[i] + L"\\" + name), std::to_string(i));
        EXPECT_EQ(GetFileAttributesW((roots[i] + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << roots[i];
        EXPECT_TRUE(RemoveFolderTree(folders[i].c_str(), FOLDER_REMOVAL_WHOLE_TREE)) << folders[i];
    }
}

TEST(MappedDrive, WithoutThePrefixNamedThereIsNoDriveAndItSaysWhy)
{
    const RVTest::TempFolder folder;
    wchar_t prefix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (RVTest::HostPathOf(folder.Path()).empty() || length == 0 || length >= MAX_PATH)
        GTEST_SKIP() << "only Wine needs its prefix named";
    SetEnvironmentVariableW(L"WINEPREFIX", nullptr);
    const RVTest::MappedDrive drive(folder.Path());
    SetEnvironmentVariableW(L"WINEPREFIX", prefix);
    EXPECT_EQ(drive.Root(), L"");
    EXPECT_NE(drive.WhyNone().find("WINEPREFIX"), std::string::npos) << drive.WhyNone();
}
