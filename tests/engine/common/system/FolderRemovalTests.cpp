// Removing folder trees where links have been planted: nothing is deleted
// through a link, wherever in the path it sits.

#include "engine/common/system/FolderRemovalFunctions.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MappedDrive.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

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
