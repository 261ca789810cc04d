// Removing folder trees where links have been planted: nothing is deleted
// through a link, wherever in the path it sits.

#include "engine/common/system/FolderRemovalFunctions.h"
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
    struct Case { const wchar_t* path; Call call; bool removed; std::vector<const wchar_t*> gone, kept; };
    const Case cases[] = {
        {L"tree", kWholeTree, false,
         {L"tree\\a.txt", L"tree\\readonly.txt", L"tree\\sub\\b.txt", L"tree\\sub\\deeper"},
         {L"tree\\sub", L"tree\\linkdir"}},
        {L"tree", kFilesOnly, false, {L"tree\\a.txt", L"tree\\sub\\b.txt"}, {L"tree\\sub\\deeper"}},
        {L"outer\\sub", kWholeTree, false, {}, {L"tree\\sub\\b.txt", L"tree\\sub\\deeper"}},
        {L"tree\\linkdir", kWholeTree, false, {}, {}},
        {L"plain", kWholeTree, true, {L"plain"}, {}},
        {L"tree\\linkempty", kEmptyFolder, false, {}, {}},
        {L"outer\\sub\\deeper", kEmptyFolder, false, {}, {L"tree\\sub\\deeper"}},
        {L"tree\\sub\\deeper", kEmptyFolder, true, {L"tree\\sub\\deeper"}, {}},
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
