// Removing folder trees where links have been planted (nothing is deleted
// through a link, wherever in the path it sits) and read-only entries that
// stay (they keep their attributes).

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderRemovalFunctions.h"
#include "engine/filesystem/FolderHandleFunctions.h"
#include "tests/support/HostScript.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MappedDrive.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A tree to remove with links into a victim folder beside it, and an outer
// link that leads into the tree itself; made afresh for each case.
class LinkedLayout
{
public:
    LinkedLayout()
    {
        for (const wchar_t* folder : {L"victim", L"victim\\empty", L"tree", L"tree\\sub", L"tree\\sub\\deeper",
                                      L"plain", L"plain\\x"})
            m_ready = CreateDirectoryW(At(folder).c_str(), nullptr) && m_ready;
        for (const wchar_t* file : {L"victim\\precious.txt", L"victimfile.txt", L"tree\\a.txt", L"tree\\readonly.txt",
                                    L"tree\\sub\\b.txt", L"plain\\x\\y.txt"})
            m_ready = RVTest::WriteWholeFile(At(file), "keep") && m_ready;
        m_ready = SetFileAttributesW(At(L"tree\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY) && m_ready;
        Plant(L"tree\\linkdir", L"victim", true);
        Plant(L"tree\\sub\\linkfile", L"victimfile.txt", false);
        Plant(L"tree\\linkempty", L"victim\\empty", true);
        Plant(L"outer", L"tree", true);
    }

    bool Ready() const { return m_ready; }
    bool LinksMade() const { return m_linksMade; }
    std::wstring At(const std::wstring& relative) const { return m_root.Child(relative); }

private:
    void Plant(const wchar_t* link, const wchar_t* target, bool folder)
    {
        m_links.push_back(std::make_unique<RVTest::PlantedLink>(At(link), At(target), folder));
        m_linksMade = m_links.back()->Made() && m_linksMade;
    }

    RVTest::TempFolder m_root;
    std::vector<std::unique_ptr<RVTest::PlantedLink>> m_links;  // go before the folder
    bool m_ready = true;
    bool m_linksMade = true;
};

enum Call { kWholeTree, kFilesOnly, kEmptyFolder };

TEST(FolderRemoval, NothingIsDeletedThroughALinkAnywhereInThePath)
{
    // What the log names: a link met in the tree, or one on the way to it.
    const wchar_t* const inTree = L"tree\\linkdir is a link, a junction or a volume mounted in a folder, or leads "
                                  L"elsewhere: nothing is deleted through it";
    const wchar_t* const onTheWay = L" is reached through a link, a junction or a volume mounted in a folder: "
                                    L"nothing is deleted through it";
    struct Case
    {
        const wchar_t* path;
        Call call;
        bool removed;
        std::vector<const wchar_t*> gone, kept;
        std::wstring logged;
    };
    const Case cases[] = {
        {L"tree", kWholeTree, false,
         {L"tree\\a.txt", L"tree\\readonly.txt", L"tree\\sub\\b.txt", L"tree\\sub\\deeper"},
         {L"tree\\sub", L"tree\\linkdir"}, inTree},
        {L"tree", kFilesOnly, false, {L"tree\\a.txt", L"tree\\sub\\b.txt"}, {L"tree\\sub\\deeper"}, inTree},
        {L"outer\\sub", kWholeTree, false, {}, {L"tree\\sub\\b.txt", L"tree\\sub\\deeper"},
         std::wstring(L"outer\\sub") + onTheWay},
        {L"tree\\linkdir", kWholeTree, false, {}, {}, std::wstring(L"tree\\linkdir") + onTheWay},
        {L"plain", kWholeTree, true, {L"plain"}, {}, L""},
        {L"tree\\linkempty", kEmptyFolder, false, {}, {}, std::wstring(L"tree\\linkempty") + onTheWay},
        {L"outer\\sub\\deeper", kEmptyFolder, false, {}, {L"tree\\sub\\deeper"},
         std::wstring(L"outer\\sub\\deeper") + onTheWay},
        {L"tree\\sub\\deeper", kEmptyFolder, true, {L"tree\\sub\\deeper"}, {}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        SCOPED_TRACE(c.call);
        const LinkedLayout layout;
        ASSERT_TRUE(layout.Ready());
        if (!layout.LinksMade())
            GTEST_SKIP() << "no links can be made here";
        auto At = [&layout](const wchar_t* relative) { return layout.At(relative); };
        const std::wstring path = At(c.path);
        const RVTest::LogCapture log;
        const bool removed = c.call == kEmptyFolder
                                 ? RemoveEmptyFolder(path.c_str())
                                 : RemoveFolderTree(path.c_str(), c.call == kWholeTree ? FOLDER_REMOVAL_WHOLE_TREE
                                                                                       : FOLDER_REMOVAL_FILES_ONLY);
        EXPECT_EQ(removed, c.removed);
        for (const wchar_t* gone : c.gone)
            EXPECT_FALSE(Exists(At(gone))) << gone;
        for (const wchar_t* kept : c.kept)
            EXPECT_TRUE(Exists(At(kept))) << kept;
        EXPECT_EQ(RVTest::ReadWholeFile(At(L"victim\\precious.txt")), "keep");
        EXPECT_EQ(RVTest::ReadWholeFile(At(L"victimfile.txt")), "keep");
        EXPECT_TRUE(Exists(At(L"victim\\empty")));
        if (c.logged.empty())
            EXPECT_EQ(log.CountContaining(L"nothing is deleted through it"), 0);
        else
            EXPECT_EQ(log.CountContaining(c.logged), 1);
    }
}

} // namespace

// A drive letter that maps another folder (as subst makes one): its entries'
// handles report the folder's own drive, and the tree still goes.
TEST(FolderRemoval, ATreeReachedThroughAMappedDriveIsRemoved)
{
    RVTest::TempFolder root;
    for (const wchar_t* folder : {L"tree", L"tree\\sub", L"empty"})
        ASSERT_TRUE(CreateDirectoryW(root.Child(folder).c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"tree\\sub\\a.txt"), "x"));
    const RVTest::MappedDrive drive(root.Path());
    if (drive.Root().empty())
        GTEST_SKIP() << "no drive can be mapped here: " << drive.WhyNone();
    EXPECT_TRUE(RemoveFolderTree((drive.Root() + L"\\tree").c_str(), FOLDER_REMOVAL_WHOLE_TREE));
    EXPECT_TRUE(RemoveEmptyFolder((drive.Root() + L"\\empty").c_str()));
    EXPECT_FALSE(Exists(root.Child(L"tree")));
    EXPECT_FALSE(Exists(root.Child(L"empty")));
}

// A read-only file has that attribute under every one of its names: the
// tree's other name of a file outside it goes only where the system deletes
// a name as it is, and otherwise stays, logged, while the outside file keeps
// its attribute and bytes. The tree's own files go, read-only or not.
TEST(FolderRemoval, AFileWithOtherNamesIsNotChangedThroughTheTree)
{
    RVTest::TempFolder root;
    ASSERT_TRUE(CreateDirectoryW(root.Child(L"tree").c_str(), nullptr));
    const std::wstring outside = root.Child(L"outside.txt");
    const std::wstring otherName = root.Child(L"tree\\other-name.txt");
    // The outside file would otherwise keep the temporary folder from going.
    struct tagWritableAtTheEnd
    {
        std::wstring path;
        ~tagWritableAtTheEnd() { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    } writable{outside};
    ASSERT_TRUE(RVTest::WriteWholeFile(outside, "keep"));
    ASSERT_TRUE(SetFileAttributesW(outside.c_str(), FILE_ATTRIBUTE_READONLY));
    if (!CreateHardLinkW(otherName.c_str(), outside.c_str(), nullptr))
        GTEST_SKIP() << "no hard link can be made here (system error " << GetLastError() << ")";
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"tree\\own-readonly.txt"), "x"));
    ASSERT_TRUE(SetFileAttributesW(root.Child(L"tree\\own-readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(L"tree\\plain.txt"), "x"));

    const RVTest::LogCapture log;
    const bool removed = RemoveFolderTree(root.Child(L"tree").c_str(), FOLDER_REMOVAL_WHOLE_TREE);

    const DWORD attributes = GetFileAttributesW(outside.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u) << "the outside file lost its attribute";
    EXPECT_EQ(RVTest::ReadWholeFile(outside), "keep");
    EXPECT_FALSE(Exists(root.Child(L"tree\\own-readonly.txt")));
    EXPECT_FALSE(Exists(root.Child(L"tree\\plain.txt")));
    // Either way the result and the log say what is left.
    const bool otherNameLeft = Exists(otherName);
    EXPECT_EQ(removed, !otherNameLeft);
    EXPECT_EQ(Exists(root.Child(L"tree")), otherNameLeft);
    EXPECT_EQ(log.CountContaining(L"tree\\other-name.txt is read-only and has other names: it stays"),
              otherNameLeft ? 1 : 0);
}

namespace {

constexpr DWORD kHostLimitMs = 60000;
constexpr FILE_INFO_BY_HANDLE_CLASS kDispositionFlagsInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

uint64_t FileIndexOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

// Marks folders read-only, or writable again: on Windows by the attribute;
// under Wine, which keeps no such attribute for a folder, by a host mode
// with no write bit.
bool MarkReadOnly(const std::vector<std::wstring>& folders, bool readOnly)
{
    std::vector<std::wstring> hostPaths;
    bool marked = true;
    for (const std::wstring& folder : folders) {
        hostPaths.push_back(RVTest::HostPathOf(folder));
        if (hostPaths.back().empty())
            marked = SetFileAttributesW(folder.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) &&
                     marked;
    }
    if (hostPaths.empty() || hostPaths.front().empty())
        return marked;
    const RVTest::HostScriptResult result =
        RVTest::RunHostScript(readOnly ? L"chmod a-w -- \"$@\"" : L"chmod u+w -- \"$@\"", hostPaths, kHostLimitMs);
    return result.end == RVTest::HostScriptEnd::Ended && result.status == 0;
}

enum class Answers { Windows7, Windows10 };

// Answers the deletes of the test program (the engine's among them) as
// Windows does, where Wine does not: a read-only folder refuses the plain
// delete before it is asked whether it is empty, a folder that is not empty
// refuses at once, and the delete that keeps attributes is missing
// (Windows 7) or refuses only a folder that is not empty and the file that
// refuses every delete (Windows 10). What passes is the system's to do, as
// is every other request, attribute changes too.
class WindowsDeletes
{
public:
    WindowsDeletes(Answers answers, uint64_t refusingFile)
        : m_patch("kernel32.dll", "SetFileInformationByHandle", reinterpret_cast<void*>(&Answer)),
          m_answers(answers),
          m_refusingFile(refusingFile)
    {
        s_original = reinterpret_cast<SetInformation>(m_patch.Original());
        s_current = this;
    }
    ~WindowsDeletes() { s_current = nullptr; }
    WindowsDeletes(const WindowsDeletes&) = delete;
    WindowsDeletes& operator=(const WindowsDeletes&) = delete;

    bool Active() const { return m_patch.Patched(); }

private:
    using SetInformation = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

    static BOOL WINAPI Answer(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size)
    {
        const bool plainDelete =
            kind == FileDispositionInfo && static_cast<const FILE_DISPOSITION_INFO*>(information)->DeleteFile;
        const bool keepingDelete = kind == kDispositionFlagsInfo && (*static_cast<const DWORD*>(information) & 1) != 0;
        if (s_current == nullptr || (!plainDelete && !keepingDelete))
            return s_original(handle, kind, information, size);
        const DWORD refusal = s_current->Refusal(handle, keepingDelete);
        if (refusal != ERROR_SUCCESS) {
            SetLastError(refusal);
            return FALSE;
        }
        FILE_DISPOSITION_INFO plain{TRUE};
        return s_original(handle, FileDispositionInfo, &plain, sizeof plain);
    }

    DWORD Refusal(HANDLE handle, bool keepingAttributes) const
    {
        if (keepingAttributes && m_answers == Answers::Windows7)
            return ERROR_INVALID_PARAMETER;
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle, &info))
            return GetLastError();
        if (FileIndexOf(info) == m_refusingFile)
            return ERROR_ACCESS_DENIED;
        if (!keepingAttributes && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
            return ERROR_ACCESS_DENIED;
        std::vector<RVGameEngine::FileSystem::tagListedEntry> entries;
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (!RVGameEngine::FileSystem::ListFolderEntries(handle, &entries) || !entries.empty()))
            return ERROR_DIR_NOT_EMPTY;
        return ERROR_SUCCESS;
    }

    static SetInformation s_original;
    static const WindowsDeletes* s_current;

    RVTest::ImportPatch m_patch;
    Answers m_answers;
    uint64_t m_refusingFile;
};

WindowsDeletes::SetInformation WindowsDeletes::s_original = nullptr;
const WindowsDeletes* WindowsDeletes::s_current = nullptr;

} // namespace

// The clean-up climbs from its folder towards the drive, asking each folder
// to go if it is empty; "Program Files" is read-only, as the shell marks a
// customised folder. No folder loses that attribute, whether it goes or
// stays, and neither does a read-only file that cannot be deleted (a running
// program): under Windows 7's answers and under Windows 10's.
TEST(FolderRemoval, ReadOnlyEntriesThatStayKeepTheirAttribute)
{
    const wchar_t* const running = L"tree\\locked\\running.exe";
    const wchar_t* const keptRunning = L"tree\\locked\\running.exe is read-only and stays as it is";
    struct Row
    {
        Answers answers;
        Call call;
        const wchar_t* path;
        bool removed;
        std::vector<const wchar_t*> gone, readOnlyKept;
        std::vector<const wchar_t*> logged;  // each logged once, and nothing else
    };
    const Row rows[] = {
        {Answers::Windows7, kEmptyFolder, L"product", false, {}, {L"product", L"product\\client.dat"}, {}},
        {Answers::Windows10, kEmptyFolder, L"product", false, {}, {L"product", L"product\\client.dat"}, {}},
        {Answers::Windows7, kEmptyFolder, L"empty", false, {}, {L"empty"}, {}},
        {Answers::Windows10, kEmptyFolder, L"empty", true, {L"empty"}, {}, {}},
        {Answers::Windows7, kWholeTree, L"tree", false, {L"tree\\locked\\notes.txt", L"tree\\ro\\a.txt"},
         {L"tree\\locked", running, L"tree\\ro"}, {keptRunning, L"tree\\ro is read-only and stays as it is"}},
        {Answers::Windows10, kWholeTree, L"tree", false, {L"tree\\locked\\notes.txt", L"tree\\ro"},
         {L"tree\\locked", running}, {keptRunning}},
        {Answers::Windows7, kFilesOnly, L"tree", false, {L"tree\\locked\\notes.txt", L"tree\\ro\\a.txt"},
         {L"tree\\locked", running, L"tree\\ro"}, {keptRunning}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        SCOPED_TRACE(row.answers == Answers::Windows7 ? "Windows 7" : "Windows 10");
        RVTest::TempFolder root;
        for (const wchar_t* folder : {L"product", L"empty", L"tree", L"tree\\locked", L"tree\\ro"})
            ASSERT_TRUE(CreateDirectoryW(root.Child(folder).c_str(), nullptr));
        for (const wchar_t* file : {L"product\\client.dat", running, L"tree\\locked\\notes.txt", L"tree\\ro\\a.txt"})
            ASSERT_TRUE(RVTest::WriteWholeFile(root.Child(file), "x"));
        for (const wchar_t* file : {L"product\\client.dat", running})
            ASSERT_TRUE(SetFileAttributesW(root.Child(file).c_str(), FILE_ATTRIBUTE_READONLY));
        BY_HANDLE_FILE_INFORMATION refusing{};
        {
            const RVGameEngine::Common::CScopedKernelHandle file(CreateFileW(
                root.Child(running).c_str(), FILE_READ_ATTRIBUTES,
                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(GetFileInformationByHandle(file.Get(), &refusing));
        }
        const std::vector<std::wstring> readOnly = {root.Child(L"product"), root.Child(L"empty"),
                                                    root.Child(L"tree\\locked"), root.Child(L"tree\\ro")};
        // Writable again before the temporary folder goes: without root rights
        // nothing in them could be deleted on the host.
        const struct tagWritableAtTheEnd
        {
            const std::vector<std::wstring>& folders;
            ~tagWritableAtTheEnd() { MarkReadOnly(folders, false); }
        } writable{readOnly};
        ASSERT_TRUE(MarkReadOnly(readOnly, true));
        for (const std::wstring& folder : readOnly)
            ASSERT_TRUE(IsReadOnly(folder)) << folder;

        const RVTest::LogCapture log;
        bool removed = false;
        {
            const WindowsDeletes answers(row.answers, FileIndexOf(refusing));
            ASSERT_TRUE(answers.Active());
            const std::wstring path = root.Child(row.path);
            removed = row.call == kEmptyFolder
                          ? RemoveEmptyFolder(path.c_str())
                          : RemoveFolderTree(path.c_str(), row.call == kWholeTree ? FOLDER_REMOVAL_WHOLE_TREE
                                                                                  : FOLDER_REMOVAL_FILES_ONLY);
        }
        EXPECT_EQ(removed, row.removed);
        for (const wchar_t* gone : row.gone)
            EXPECT_FALSE(Exists(root.Child(gone))) << gone;
        for (const wchar_t* kept : row.readOnlyKept)
            EXPECT_TRUE(IsReadOnly(root.Child(kept))) << kept;
        EXPECT_EQ(log.Messages().size(), row.logged.size());
        for (const wchar_t* logged : row.logged)
            EXPECT_EQ(log.CountContaining(logged), 1) << logged;
        SetFileAttributesW(root.Child(running).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The delete that keeps attributes either deletes a read-only name as it is,
// leaving its other names as they were, or is not there at all; it never
// fails otherwise on a file nothing holds.
TEST(FolderRemoval, TheDeleteThatKeepsAttributesWorksOrIsMissing)
{
    struct Row
    {
        const wchar_t* name;
        DWORD attributes;
        bool otherName;
    };
    const Row rows[] = {
        {L"readonly.txt", FILE_ATTRIBUTE_READONLY, false},
        {L"linked.txt", FILE_ATTRIBUTE_READONLY, true},
    };
    const DWORD missing[] = {ERROR_INVALID_PARAMETER, ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED,
                             ERROR_CALL_NOT_IMPLEMENTED};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RVTest::TempFolder root;
        const std::wstring path = root.Child(row.name);
        const std::wstring other = root.Child(L"other-name");
        ASSERT_TRUE(RVTest::WriteWholeFile(path, "keep"));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), row.attributes));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (row.otherName && !CreateHardLinkW(other.c_str(), path.c_str(), nullptr))
            GTEST_SKIP() << "no hard link can be made here (system error " << GetLastError() << ")";
        bool deleted = false;
        DWORD error = ERROR_SUCCESS;
        {
            const RVGameEngine::Common::CScopedKernelHandle file(CreateFileW(
                path.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(file);
            deleted = RVGameEngine::FileSystem::MarkForDeletionKeepingAttributes(file.Get());
            error = GetLastError();
        }
        if (deleted) {
            EXPECT_FALSE(Exists(path));
        } else {
            EXPECT_NE(std::find(std::begin(missing), std::end(missing), error), std::end(missing)) << error;
            EXPECT_EQ(GetFileAttributesW(path.c_str()), attributes);
        }
        if (row.otherName) {
            EXPECT_EQ(GetFileAttributesW(other.c_str()), attributes);
            EXPECT_EQ(RVTest::ReadWholeFile(other), "keep");
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW(other.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
