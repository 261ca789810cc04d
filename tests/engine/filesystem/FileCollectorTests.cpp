#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/IFileCollector.h"

#include <set>

using namespace FileSystemTest;
using Paths = std::multiset<std::wstring>;

class FileCollector : public FileSystemTestBase
{
protected:
    void SetUp() override
    {
        FileSystemTestBase::SetUp();
        VFS()->CreateDirectory(L"a/b/c");
        VFS()->CreateDirectory(L"a/d/e");
        for (const wchar_t* name :
             {L"a\\x.txt", L"a\\b\\y.txt", L"a\\b\\c\\z.txt", L"a\\d\\w.txt", L"a\\d\\e\\v.txt"})
            RVTest::WriteWholeFile(name, "x");
    }

    // Whether the collected files under the folder stand together in the list.
    bool Contiguous(const std::wstring& folder) const
    {
        int first = -1, last = -1, count = 0;
        for (int32_t i = 0; i < m_collector->GetCount(); ++i) {
            if (std::wstring(m_collector->GetAt(i)).compare(0, folder.size(), folder) == 0)
                first = first < 0 ? i : first, last = i, ++count;
        }
        return count > 0 && last - first + 1 == count;
    }

    Paths Collected() const
    {
        Paths paths;
        for (int32_t i = 0; i < m_collector->GetCount(); ++i)
            paths.insert(m_collector->GetAt(i));
        return paths;
    }

    TIntrusivePointer<IFileCollector> m_collector{IFileCollector_Create()};
};

TEST_F(FileCollector, CollectsEveryFileDepthFirstAndSubfoldersOnRequest)
{
    m_collector->CollectFiles(L"a");
    EXPECT_EQ(Collected(), (Paths{L"a/x.txt", L"a/b/y.txt", L"a/b/c/z.txt", L"a/d/w.txt", L"a/d/e/v.txt"}));
    // Depth first, whatever order the folders are listed in: the files under
    // each subfolder stand together (level by level they could not, for both).
    EXPECT_TRUE(Contiguous(L"a/b/") && Contiguous(L"a/d/"));
    EXPECT_TRUE(m_collector->GetAt(-1) == nullptr && m_collector->GetAt(5) == nullptr);
    m_collector->Remove(L"A/X.TXT");
    EXPECT_EQ(m_collector->GetCount(), 5) << "removal matches exactly";
    m_collector->Remove(L"a/x.txt"), m_collector->Remove(nullptr);
    EXPECT_EQ(Collected(), (Paths{L"a/b/y.txt", L"a/b/c/z.txt", L"a/d/w.txt", L"a/d/e/v.txt"}));
    m_collector->CollectFiles(L"a/");
    EXPECT_EQ(Collected().count(L"a//x.txt"), 1u) << "a trailing separator stays";
    m_collector->CollectFiles(L"missing");
    EXPECT_EQ(m_collector->GetCount(), 0) << "a new collection starts empty";
    VFS()->AddFilenameReplace(L"alias", L"a");
    m_collector->CollectFiles(L"ALIAS/b/c");
    EXPECT_EQ(Collected(), (Paths{L"a/b/c/z.txt"}));
    // Subfolders are appended, one level deep.
    m_collector->CollectSubdirectories(L"a"), m_collector->CollectSubdirectories(L"a");
    EXPECT_EQ(Collected(), (Paths{L"a/b/c/z.txt", L"a/b", L"a/b", L"a/d", L"a/d"}));
}

TEST_F(FileCollector, EmptyOrRefusedFoldersAndReplacementLoopsStayBounded)
{
    // Both would otherwise list the root of the drive.
    m_collector->CollectSubdirectories(L""), m_collector->CollectSubdirectories(std::wstring(10000, L'a').c_str());
    EXPECT_EQ(m_collector->GetCount(), 0);
    // a/b names a again: the walk meets a inside itself.
    VFS()->AddFilenameReplace(L"a/b", L"a");
    m_collector->CollectFiles(L"a");
    EXPECT_GT(Collected().count(L"a/x.txt"), 1u);
}

// The fixture tree holds a host symbolic link to a folder outside it, which
// Wine shows as a reparse point, as Windows shows a junction.
TEST_F(FileCollector, LinkedFoldersAreNeitherEnteredNorListed)
{
    const std::wstring tree = Fixture(L"linked") + L"\\tree";
    const DWORD attributes = GetFileAttributesW((tree + L"\\link").c_str());
    ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        << "the fixture's link shows as a reparse point";
    m_collector->CollectFiles(tree.c_str());
    EXPECT_EQ(Collected(), (Paths{tree + L"/x.txt", tree + L"/sub/y.txt"}));
    m_collector->CollectSubdirectories(tree.c_str());
    EXPECT_EQ(m_collector->GetCount(), 3) << "the link is no subfolder to collect";
}
