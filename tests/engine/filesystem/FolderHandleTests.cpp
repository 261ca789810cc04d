// Entries opened, made and checked through their folder's handle.

#include "engine/filesystem/FolderHandleFunctions.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include "engine/common/base/TScopedHandle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace RVGameEngine::FileSystem;
using RVGameEngine::Common::CScopedKernelHandle;

namespace {

TEST(FolderHandles, EntriesAreOpenedMadeAndListedThroughTheirFolderOnly)
{
    RVTest::TempFolder root;
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"elsewhere").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"a.txt"), "a"));
    CScopedKernelHandle folder(CreateFileW(root.Path().c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(folder);

    struct Case { const wchar_t* name; ENTRY_KIND kind; ENTRY_OPEN open; DWORD error; };
    const Case cases[] = {
        {L"a.txt", ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, ERROR_SUCCESS},
        {L"A.TXT", ENTRY_KIND_FILE, ENTRY_OPEN_NEW, ERROR_ALREADY_EXISTS},
        {L"missing.txt", ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {L"new.txt", ENTRY_KIND_FILE, ENTRY_OPEN_NEW, ERROR_SUCCESS},
        {L"sub", ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, ERROR_SUCCESS},
        {L"made", ENTRY_KIND_FOLDER, ENTRY_OPEN_NEW, ERROR_SUCCESS},
        {L"sub\\x.txt", ENTRY_KIND_FILE, ENTRY_OPEN_NEW, ERROR_INVALID_NAME},
        {L"..", ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, ERROR_INVALID_NAME},
        {L"*.txt", ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, ERROR_INVALID_NAME},
        {L"", ENTRY_KIND_FILE, ENTRY_OPEN_NEW, ERROR_INVALID_NAME},
    };
    DWORD error = ERROR_SUCCESS;
    for (const Case& c : cases) {
        CScopedKernelHandle entry(OpenFolderEntry(folder.Get(), c.name, c.kind, c.open, FILE_READ_ATTRIBUTES, &error));
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(static_cast<bool>(entry), c.error == ERROR_SUCCESS) << c.name;
        tagEntryIdentity identity;
        if (!entry || !GetEntryIdentity(entry.Get(), &identity))
            continue;
        EXPECT_EQ(MatchListedEntry(folder.Get(), c.name, identity, &error), ENTRY_MATCH_LISTED) << c.name;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS)) << c.name;
        // Listed under another name, it is another entry.
        EXPECT_EQ(MatchListedEntry(folder.Get(), c.kind == ENTRY_KIND_FILE ? L"sub" : L"a.txt", identity, &error),
                  ENTRY_MATCH_OTHER)
            << c.name;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE)) << c.name;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(root.Child(L"new.txt")), "");
    EXPECT_NE(GetFileAttributesW(root.Child(L"made").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // Only what the listing says refuses an entry: a listing that cannot be
    // read is a failed query with the system's own error, never a link.
    CScopedKernelHandle sub(
        OpenFolderEntry(folder.Get(), L"sub", ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, FILE_READ_ATTRIBUTES, &error));
    CScopedKernelHandle file(
        OpenFolderEntry(folder.Get(), L"a.txt", ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, FILE_READ_ATTRIBUTES, &error));
    const CScopedKernelHandle notAFile(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    tagEntryIdentity subIdentity;
    ASSERT_TRUE(sub && file && notAFile && GetEntryIdentity(sub.Get(), &subIdentity));
    struct Check { const char* what; HANDLE folder; const wchar_t* name; ENTRY_MATCH match; DWORD error; };
    const Check checks[] = {
        {"listed", folder.Get(), L"SUB", ENTRY_MATCH_LISTED, ERROR_SUCCESS},
        {"a name the folder no longer lists", folder.Get(), L"gone", ENTRY_MATCH_OTHER, ERROR_CANT_ACCESS_FILE},
        {"a name of two parts", folder.Get(), L"sub\\x", ENTRY_MATCH_FAILED, ERROR_INVALID_NAME},
        {"a \"folder\" that is a file", file.Get(), L"sub", ENTRY_MATCH_FAILED, ERROR_DIRECTORY},
        {"a \"folder\" that is no file", notAFile.Get(), L"sub", ENTRY_MATCH_FAILED, ERROR_INVALID_HANDLE},
    };
    for (const Check& c : checks) {
        error = 0xDEAD;
        EXPECT_EQ(MatchListedEntry(c.folder, c.name, subIdentity, &error), c.match) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }

    // A folder link: where the system opens what it leads to, the listing
    // still tells it from the folder it leads to.
    const RVTest::PlantedLink link(root.Child(L"link"), root.Child(L"elsewhere"), true);
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here";
    CScopedKernelHandle opened(
        OpenFolderEntry(folder.Get(), L"link", ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, FILE_READ_ATTRIBUTES, &error));
    tagEntryIdentity identity;
    ASSERT_TRUE(opened && GetEntryIdentity(opened.Get(), &identity));
    EXPECT_TRUE((identity.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
                MatchListedEntry(folder.Get(), L"link", identity, &error) == ENTRY_MATCH_OTHER);
}

} // namespace

TEST(FolderHandles, SettingAnEntrysAttributesChangesNothingElseOfIt)
{
    RVTest::TempFolder root;
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"kept.txt"), "kept"));
    CScopedKernelHandle file(CreateFileW(root.Child(L"kept.txt").c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    ASSERT_TRUE(file);
    FILETIME written = {0x12345678u, 0x01D00000u};
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &written));

    // What only the system sets is left out of what is asked. The archive
    // mark is left out of the comparison: Wine reports it on every file.
    constexpr DWORD kCompared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    struct Case { DWORD asked; DWORD read; };
    const Case cases[] = {
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
        {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, FILE_ATTRIBUTE_SYSTEM},
        {0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SetEntryAttributes(file.Get(), c.asked)) << c.asked << ", error " << GetLastError();
        BY_HANDLE_FILE_INFORMATION now = {};
        ASSERT_TRUE(GetFileInformationByHandle(file.Get(), &now));
        EXPECT_EQ(now.dwFileAttributes & kCompared, c.read) << c.asked;
        EXPECT_EQ(CompareFileTime(&now.ftLastWriteTime, &written), 0) << c.asked;
        EXPECT_EQ(now.nFileSizeLow, 4u) << c.asked;
    }
}
