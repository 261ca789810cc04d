// Folders walked and files written through checked handles: links refused
// wherever they stand, other reparse points passed, a drive letter that maps
// another folder walked as spelled.

#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ReparsePointFunctions.h"
#include "tests/support/MappedDrive.h"
#include "tests/support/PlantedLink.h"

using namespace FileSystemTest;

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CheckedWriter : public FileSystemTestBase
{
protected:
    CheckedWriter()
    {
        CreateDirectoryW(Child(L"outside").c_str(), nullptr);
        CreateDirectoryW(Child(L"real").c_str(), nullptr);
        CreateDirectoryW(Child(L"real\\inner").c_str(), nullptr);
    }

    std::wstring Child(const std::wstring& name) const { return m_temp.Child(name); }
};

} // namespace

// Any user may make a junction in a folder they can write, with any target
// text: a mount-point tag is a link whatever it leads to. Only reparse
// points that keep their names in place are passed.
TEST(ReparsePoints, EveryNameSurrogateIsALinkWhateverItsTarget)
{
    struct Row { const char* what; DWORD tag; bool redirecting; };
    const Row rows[] = {
        {"junction, even one to a volume's path (a volume mounted in a folder)", IO_REPARSE_TAG_MOUNT_POINT, true},
        {"symbolic link", IO_REPARSE_TAG_SYMLINK, true},
        {"a name surrogate of another kind", 0xA000001D, true},
        {"not told", 0, true},
        {"cloud-file placeholder", 0x9000001A, false},
        {"deduplicated", 0x80000013, false},
        {"compressed by the system", 0x80000017, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsNameRedirectingTag(row.tag), row.redirecting) << row.what;
}

// What a handle says of its own entry: an ordinary file is no link, and a
// handle whose tag cannot be read (here: no file at all) is taken for one,
// or reported with the query's own error when asked.
TEST_F(CheckedWriter, AnEntryWhoseTagCannotBeReadCountsAsALinkOrAsAFailedQuery)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(Child(L"real\\plain.txt"), "x"));
    const CScopedKernelHandle plain(CreateFileW(Child(L"real\\plain.txt").c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const CScopedKernelHandle notAFile(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(plain && notAFile);
    EXPECT_FALSE(IsNameRedirectingEntry(plain.Get()));
    EXPECT_TRUE(IsNameRedirectingEntry(notAFile.Get()));
    bool redirecting = true;
    EXPECT_TRUE(QueryNameRedirection(plain.Get(), &redirecting));
    EXPECT_FALSE(redirecting);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(QueryNameRedirection(notAFile.Get(), &redirecting));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// A reparse point that keeps its name in place is opened through it, and
// what the open returns is kept only when it is the very entry its folder
// listed under that name: nothing held before the open can stop the name
// from being swapped for a link meanwhile. Neither the volume's serial nor
// the file id is unique, so a name the system opens as another folder of the
// same volume is refused even with that folder's own id; a query that fails,
// the open itself included, says so with its own error, never as a link.
TEST_F(CheckedWriter, AFollowedEntryIsKeptOnlyWhenItIsTheEntryListedWhereItsNameLeads)
{
    const RVTest::PlantedLink link(Child(L"real\\link"), Child(L"outside"), true);
    CScopedKernelHandle parent;
    DWORD error = ERROR_SUCCESS;
    ASSERT_EQ(OpenCheckedFolderPath(Child(L"real").c_str(), FOLDER_MISSING_FAILS, &parent, nullptr, &error),
              CHECKED_REACH_DONE);
    const auto open = [this](const wchar_t* path) {
        return CScopedKernelHandle(CreateFileW(Child(path).c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    };
    const CScopedKernelHandle inner = open(L"real\\inner");
    const CScopedKernelHandle outside = open(L"outside");
    const CScopedKernelHandle throughLink = open(L"real\\link");
    const CScopedKernelHandle notAFile(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    tagEntryIdentity innerIdentity;
    tagEntryIdentity outsideIdentity;
    ASSERT_TRUE(inner && outside && notAFile);
    ASSERT_TRUE(GetEntryIdentity(inner.Get(), &innerIdentity) && GetEntryIdentity(outside.Get(), &outsideIdentity));
    const uint64_t innerIndex = innerIdentity.index;
    const uint64_t outsideIndex = outsideIdentity.index;

    struct Row
    {
        const char* what;
        HANDLE opened;
        const wchar_t* name;
        uint64_t index;
        ENTRY_MATCH match;
        DWORD error;
    };
    std::vector<Row> rows = {
        {"the entry listed, by its own name", inner.Get(), L"inner", innerIndex, ENTRY_MATCH_LISTED, ERROR_SUCCESS},
        {"the same name in other letter case", inner.Get(), L"INNER", innerIndex, ENTRY_MATCH_LISTED, ERROR_SUCCESS},
        {"another entry than the one listed", outside.Get(), L"inner", innerIndex, ENTRY_MATCH_OTHER,
         ERROR_CANT_ACCESS_FILE},
        {"another id than the one listed", inner.Get(), L"inner", innerIndex + 1, ENTRY_MATCH_OTHER,
         ERROR_CANT_ACCESS_FILE},
        {"the entry listed, under a name it is not at", inner.Get(), L"inne", innerIndex, ENTRY_MATCH_OTHER,
         ERROR_CANT_ACCESS_FILE},
        {"a handle that is no file", notAFile.Get(), L"inner", innerIndex, ENTRY_MATCH_FAILED, ERROR_INVALID_HANDLE},
        {"a name of two parts", inner.Get(), L"real\\inner", innerIndex, ENTRY_MATCH_FAILED, ERROR_INVALID_NAME},
    };
    if (link.Made()) {
        ASSERT_TRUE(throughLink);
        rows.push_back({"a name opened as another folder, with that folder's id", throughLink.Get(), L"link",
                        outsideIndex, ENTRY_MATCH_OTHER, ERROR_CANT_ACCESS_FILE});
    }
    for (const Row& row : rows) {
        error = 0xDEAD;
        EXPECT_EQ(MatchOpenedListedEntry(parent.Get(), row.opened, row.name, row.index, &error), row.match)
            << row.what;
        EXPECT_EQ(error, row.error) << row.what;
    }

    // An open that fails is a failed query whatever its code (a placeholder
    // whose filter driver is missing gives the very code of a refusal).
    ASSERT_TRUE(RVTest::WriteWholeFile(Child(L"real\\plain.txt"), "x"));
    struct Followed { const wchar_t* name; uint64_t index; ENTRY_MATCH match; DWORD error; };
    std::vector<Followed> followedRows = {
        {L"inner", innerIndex, ENTRY_MATCH_LISTED, ERROR_SUCCESS},
        {L"inner", innerIndex + 1, ENTRY_MATCH_OTHER, ERROR_CANT_ACCESS_FILE},
        {L"missing", innerIndex, ENTRY_MATCH_FAILED, ERROR_FILE_NOT_FOUND},
        {L"plain.txt", innerIndex, ENTRY_MATCH_FAILED, ERROR_DIRECTORY},
    };
    if (link.Made())
        followedRows.push_back({L"link", outsideIndex, ENTRY_MATCH_OTHER, ERROR_CANT_ACCESS_FILE});
    for (const Followed& row : followedRows) {
        error = 0xDEAD;
        ENTRY_MATCH match = ENTRY_MATCH_LISTED;
        const CScopedKernelHandle followed(
            OpenFollowedFolder(parent.Get(), row.name, row.index, FILE_LIST_DIRECTORY, &match, &error));
        EXPECT_EQ(static_cast<bool>(followed), row.match == ENTRY_MATCH_LISTED) << row.name << " " << row.index;
        EXPECT_EQ(match, row.match) << row.name << " " << row.index;
        EXPECT_EQ(error, row.error) << row.name << " " << row.index;
        // A walk takes only a refusal for a link.
        EXPECT_EQ(CheckedReachOf(match) == CHECKED_REACH_LINK, row.match == ENTRY_MATCH_OTHER) << row.name;
    }
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here: a name leading to another folder was not tried";
}

// A handle's final path against its folder's and the name it was opened by:
// one separator between them (a volume's root ends in its own), letter case
// aside in any script, and nothing more or less on either side.
TEST(FinalPaths, AnEntryIsWhereItsFolderAndNameLeadOnly)
{
    struct Row { const wchar_t* entry; const wchar_t* folder; const wchar_t* name; bool same; };
    const Row rows[] = {
        {L"\\\\?\\C:\\Game\\Data", L"\\\\?\\C:\\Game", L"Data", true},
        {L"\\\\?\\C:\\Data", L"\\\\?\\C:\\", L"Data", true},
        {L"\\\\?\\c:\\GAME\\\u00C9T\u00C9", L"\\\\?\\C:\\Game", L"\u00E9t\u00E9", true},
        {L"\\\\?\\C:\\Gamer\\Data", L"\\\\?\\C:\\Game", L"Data", false},
        {L"\\\\?\\C:\\Game\\\\Data", L"\\\\?\\C:\\Game", L"Data", false},
        {L"\\\\?\\C:\\Game\\Data\\Inner", L"\\\\?\\C:\\Game", L"Data", false},
        {L"\\\\?\\C:\\GameXData", L"\\\\?\\C:\\Game", L"Data", false},
        {L"\\\\?\\C:\\Game\\", L"\\\\?\\C:\\Game", L"", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsFinalPathOfName(row.entry, row.folder, row.name), row.same) << row.entry << " " << row.name;
}

TEST(FinalPaths, AWalkStartsAtTheDriveOrShareRootWhateverTheSpelling)
{
    struct Row { const wchar_t* path; const wchar_t* root; };
    const Row rows[] = {
        {L"C:\\Program Files\\Game", L"C:\\"},
        {L"d:\\", L"d:\\"},
        {L"\\\\server\\share\\Game", L"\\\\server\\share\\"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\?\\C:\\Game", L"\\\\?\\C:\\"},
        {L"\\\\?\\UNC\\server\\share\\Game", L"\\\\?\\UNC\\server\\share\\"},
        {L"\\\\server", L""},
        {L"\\\\server\\\\x", L""},
        {L"C:Game", L""},
        {L"Game\\Temp", L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetPathRootLength(row.path), wcslen(row.root)) << row.path;
}

TEST_F(CheckedWriter, FolderPathsAreWalkedFromTheRootAndStopAtTheFirstLink)
{
    const RVTest::PlantedLink link(Child(L"link"), Child(L"outside"), true);
    const RVTest::PlantedLink inner(Child(L"real\\inner\\link"), Child(L"outside"), true);
    if (!link.Made() || !inner.Made())
        GTEST_SKIP() << "no links can be made here";
    struct Row { const wchar_t* path; FOLDER_MISSING missing; CHECKED_REACH reach; const wchar_t* stoppedAt; };
    const Row rows[] = {
        {L"real\\inner", FOLDER_MISSING_FAILS, CHECKED_REACH_DONE, nullptr},
        {L"real/inner/", FOLDER_MISSING_FAILS, CHECKED_REACH_DONE, nullptr},
        {L"real\\made\\deeper", FOLDER_MISSING_MADE, CHECKED_REACH_DONE, nullptr},
        {L"real\\missing\\deeper", FOLDER_MISSING_FAILS, CHECKED_REACH_FAILED, L"real\\missing"},
        {L"link", FOLDER_MISSING_MADE, CHECKED_REACH_LINK, L"link"},
        {L"link\\made", FOLDER_MISSING_MADE, CHECKED_REACH_LINK, L"link"},
        {L"real\\inner\\link\\made\\deeper", FOLDER_MISSING_MADE, CHECKED_REACH_LINK, L"real\\inner\\link"},
    };
    for (const Row& row : rows) {
        const std::wstring full = Child(row.path);
        CScopedKernelHandle folder;
        size_t stopped = 0;
        DWORD error = ERROR_SUCCESS;
        EXPECT_EQ(OpenCheckedFolderPath(full.c_str(), row.missing, &folder, &stopped, &error), row.reach) << row.path;
        EXPECT_EQ(static_cast<bool>(folder), row.reach == CHECKED_REACH_DONE) << row.path;
        if (row.stoppedAt != nullptr) {
            EXPECT_EQ(full.substr(0, stopped), Child(row.stoppedAt)) << row.path;
        }
        if (row.reach == CHECKED_REACH_LINK) {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE)) << row.path;
        }
    }
    // One step alone: a refused folder is handed back closed, never as what the link leads to.
    CScopedKernelHandle parent;
    CScopedKernelHandle linked;
    DWORD error = ERROR_SUCCESS;
    bool made = true;
    ASSERT_EQ(OpenCheckedFolderPath(m_temp.Path().c_str(), FOLDER_MISSING_FAILS, &parent, nullptr, &error),
              CHECKED_REACH_DONE);
    EXPECT_EQ(OpenCheckedFolder(parent.Get(), L"link", FOLDER_MISSING_MADE, &linked, &made, &error),
              CHECKED_REACH_LINK);
    EXPECT_FALSE(linked);
    EXPECT_FALSE(made);
    EXPECT_TRUE(IsFolder(Child(L"real\\made\\deeper")));
    EXPECT_FALSE(Exists(Child(L"real\\missing")));
    EXPECT_FALSE(Exists(Child(L"outside\\made")));
}

// Only new files: a name already there (a file, a link to one, a folder)
// is never opened, and what it leads to keeps its bytes.
TEST_F(CheckedWriter, AWriterOfNewFilesOnlyNeverOpensANameAlreadyThere)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(Child(L"outside\\victim.txt"), "keep"));
    ASSERT_TRUE(RVTest::WriteWholeFile(Child(L"real\\taken.txt"), "keep"));
    ASSERT_TRUE(CreateDirectoryW(Child(L"real\\folder.txt").c_str(), nullptr));
    const RVTest::PlantedLink fileLink(Child(L"real\\linked.txt"), Child(L"outside\\victim.txt"), false);
    const RVTest::PlantedLink folderLink(Child(L"real\\Log"), Child(L"outside"), true);
    if (!fileLink.Made() || !folderLink.Made())
        GTEST_SKIP() << "no links can be made here";
    struct Row { const wchar_t* name; CHECKED_REACH reach; };
    const Row rows[] = {
        {L"real\\new.txt", CHECKED_REACH_DONE},
        {L"./real//made/new.txt", CHECKED_REACH_DONE},
        {L"real\\taken.txt", CHECKED_REACH_FAILED},
        {L"real\\linked.txt", CHECKED_REACH_FAILED},
        {L"real\\folder.txt", CHECKED_REACH_FAILED},
        {L"real\\Log\\run.log", CHECKED_REACH_LINK},
    };
    CCheckedFileWriter writer(FILE_EXISTING_REFUSED);
    for (const Row& row : rows) {
        CHECKED_REACH reach = CHECKED_REACH_DONE;
        DWORD error = ERROR_SUCCESS;
        EXPECT_EQ(writer.Write(row.name, "new", 3, &reach, &error), row.reach == CHECKED_REACH_DONE) << row.name;
        EXPECT_EQ(reach, row.reach) << row.name;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\new.txt")), "new");
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\made\\new.txt")), "new");
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\taken.txt")), "keep");
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"outside\\victim.txt")), "keep");
    EXPECT_FALSE(Exists(Child(L"outside\\run.log")));
}

// A drive letter that maps another folder (as subst makes one): the folder
// is reached through it and written to, although its handles report the
// folder's own drive.
TEST_F(CheckedWriter, AFolderReachedThroughAMappedDriveIsWrittenTo)
{
    const RVTest::MappedDrive drive(Child(L"real"));
    if (drive.Root().empty())
        GTEST_SKIP() << "no drive can be mapped here: " << drive.WhyNone();
    CScopedKernelHandle folder;
    size_t stopped = 0;
    DWORD error = ERROR_SUCCESS;
    const std::wstring made = drive.Root() + L"\\made";
    ASSERT_EQ(OpenCheckedFolderPath(made.c_str(), FOLDER_MISSING_MADE, &folder, &stopped, &error),
              CHECKED_REACH_DONE)
        << made.substr(0, stopped);
    CCheckedFileWriter writer;
    ASSERT_TRUE(writer.SetBase(folder.Get()));
    for (const wchar_t* name : {L"one.txt", L"sub\\two.txt"}) {
        CHECKED_REACH reach = CHECKED_REACH_FAILED;
        EXPECT_TRUE(writer.Write(name, "x", 1, &reach, &error)) << name << " " << error;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\made\\one.txt")), "x");
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\made\\sub\\two.txt")), "x");
    // Through the current folder too.
    RVTest::ScopedCurrentFolder inside(drive.Root() + L"\\");
    CCheckedFileWriter current;
    CHECKED_REACH reach = CHECKED_REACH_FAILED;
    EXPECT_TRUE(current.Write(L"three.txt", "y", 1, &reach, &error)) << error;
    EXPECT_EQ(RVTest::ReadWholeFile(Child(L"real\\three.txt")), "y");
}


// A volume's root is the one folder whose final path ends in a separator
// ("\\?\C:\"): a file already directly in it is still found in place, and
// rewritten rather than refused as lying behind a link.
TEST_F(CheckedWriter, AFileAlreadyInAVolumeRootIsRewritten)
{
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(system, MAX_PATH), 3u);
    const std::wstring root(system, 3);
    const std::wstring name = L"rv-root-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    // Gone whatever the assertions find: the volume's root is no test's own.
    struct tagRemovedAtTheEnd
    {
        std::wstring path;
        ~tagRemovedAtTheEnd() { DeleteFileW(path.c_str()); }
    } removed{root + name};
    if (!RVTest::WriteWholeFile(removed.path, "old"))
        GTEST_SKIP() << "the volume's root cannot be written here";
    CScopedKernelHandle folder;
    DWORD error = ERROR_SUCCESS;
    ASSERT_EQ(OpenCheckedFolderPath(root.c_str(), FOLDER_MISSING_FAILS, &folder, nullptr, &error),
              CHECKED_REACH_DONE);
    CCheckedFileWriter writer;
    ASSERT_TRUE(writer.SetBase(folder.Get()));
    CHECKED_REACH reach = CHECKED_REACH_FAILED;
    EXPECT_TRUE(writer.Write(name, "new", 3, &reach, &error)) << reach << " " << error;
    EXPECT_EQ(RVTest::ReadWholeFile(root + name), "new");
}
