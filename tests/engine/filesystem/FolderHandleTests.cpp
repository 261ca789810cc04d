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
    for (const Case& c : cases) {
        DWORD error = ERROR_SUCCESS;
        CScopedKernelHandle entry(OpenFolderEntry(folder.Get(), c.name, c.kind, c.open, FILE_READ_ATTRIBUTES, &error));
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(static_cast<bool>(entry), c.error == ERROR_SUCCESS) << c.name;
        tagEntryIdentity identity;
        if (!entry || !GetEntryIdentity(entry.Get(), &identity))
            continue;
        EXPECT_TRUE(IsListedEntry(folder.Get(), c.name, identity)) << c.name;
        // Listed under another name, it is another entry.
        EXPECT_FALSE(IsListedEntry(folder.Get(), c.kind == ENTRY_KIND_FILE ? L"sub" : L"a.txt", identity)) << c.name;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(root.Child(L"new.txt")), "");
    EXPECT_NE(GetFileAttributesW(root.Child(L"made").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    // A folder link: where the system opens what it leads to, the listing
    // still tells it from the folder it leads to.
    const RVTest::PlantedLink link(root.Child(L"link"), root.Child(L"elsewhere"), true);
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here";
    DWORD error = ERROR_SUCCESS;
    CScopedKernelHandle opened(
        OpenFolderEntry(folder.Get(), L"link", ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, FILE_READ_ATTRIBUTES, &error));
    tagEntryIdentity identity;
    ASSERT_TRUE(opened && GetEntryIdentity(opened.Get(), &identity));
    EXPECT_TRUE((identity.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
                !IsListedEntry(folder.Get(), L"link", identity));
}

} // namespace
