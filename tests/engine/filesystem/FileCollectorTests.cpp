#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/IFileCollector.h"

#include <winioctl.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;
using FileSystemTest::FileSystemTestBase;

namespace {

std::multiset<std::wstring> Collected(IFileCollector* collector)
{
    std::multiset<std::wstring> paths;
    for (int32_t i = 0; i < collector->GetCount(); ++i)
        paths.insert(collector->GetAt(i));
    return paths;
}

TIntrusivePointer<IFileCollector> NewCollector()
{
    return TIntrusivePointer<IFileCollector>(IFileCollector_Create());
}

// The reparse data of a mount point (junction), laid out as the file system
// expects it.
bool MakeMountPoint(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const std::wstring substitute = L"\\??\\" + target;
    const USHORT substituteBytes = static_cast<USHORT>(substitute.size() * 2);
    const USHORT printBytes = static_cast<USHORT>(target.size() * 2);
    std::vector<BYTE> buffer(8 + 8 + substituteBytes + 2 + printBytes + 2);
    auto put16 = [&buffer](size_t at, USHORT value) { std::memcpy(&buffer[at], &value, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&buffer[0], &tag, 4);
    put16(4, static_cast<USHORT>(buffer.size() - 8));
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, static_cast<USHORT>(substituteBytes + 2));
    put16(14, printBytes);
    std::memcpy(&buffer[16], substitute.c_str(), substituteBytes);
    std::memcpy(&buffer[16 + substituteBytes + 2], target.c_str(), printBytes);
    DWORD returned = 0;
    const BOOL made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      nullptr, 0, &returned, nullptr);
    CloseHandle(handle);
    return made != FALSE;
}

bool IsReparsePoint(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace

class FileCollector : public FileSystemTestBase
{
protected:
    void SetUp() override
    {
        FileSystemTestBase::SetUp();
        VFS()->CreateDirectory(L"a/b/c");
        RVTest::WriteWholeFile(L"a\\x.txt", "x");
        RVTest::WriteWholeFile(L"a\\b\\y.txt", "y");
        RVTest::WriteWholeFile(L"a\\b\\c\\z.txt", "z");
    }
};

TEST_F(FileCollector, CollectsEveryFileDepthFirstAndNoFolders)
{
    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectFiles(L"a");
    EXPECT_EQ(Collected(collector.Get()), (std::multiset<std::wstring>{L"a/x.txt", L"a/b/y.txt", L"a/b/c/z.txt"}));
    // Depth first: the files under a/b are listed together, where a/b was met.
    const bool xFirst = collector->GetAt(0) == std::wstring(L"a/x.txt");
    const bool xLast = collector->GetAt(2) == std::wstring(L"a/x.txt");
    EXPECT_TRUE(xFirst || xLast);

    collector->CollectFiles(L"a/");
    EXPECT_EQ(Collected(collector.Get()).count(L"a//x.txt"), 1u) << "a trailing separator stays";
    collector->CollectFiles(L"missing");
    EXPECT_EQ(collector->GetCount(), 0) << "a new collection starts empty";
}

TEST_F(FileCollector, SubdirectoriesAreAppendedOneLevelDeep)
{
    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectSubdirectories(L"a");
    collector->CollectSubdirectories(L"a");
    EXPECT_EQ(Collected(collector.Get()), (std::multiset<std::wstring>{L"a/b", L"a/b"}));
}

TEST_F(FileCollector, IndexAndRemoveAreExact)
{
    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectFiles(L"a");
    EXPECT_EQ(collector->GetAt(-1), nullptr);
    EXPECT_EQ(collector->GetAt(collector->GetCount()), nullptr);
    collector->Remove(L"A/X.TXT");
    EXPECT_EQ(collector->GetCount(), 3);
    collector->Remove(L"a/x.txt");
    EXPECT_EQ(Collected(collector.Get()), (std::multiset<std::wstring>{L"a/b/y.txt", L"a/b/c/z.txt"}));
    collector->Remove(nullptr);
}

TEST_F(FileCollector, TheReplacementListAppliesToTheFolder)
{
    VFS()->AddFilenameReplace(L"alias", L"a");
    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectFiles(L"ALIAS/b/c");
    EXPECT_EQ(Collected(collector.Get()), (std::multiset<std::wstring>{L"a/b/c/z.txt"}));
}

TEST_F(FileCollector, HostLinksToOutsideFoldersAreNotFollowed)
{
    const std::wstring tree = FileSystemTest::Fixture(L"linked") + L"\\tree";
    ASSERT_TRUE(IsReparsePoint(tree + L"\\link")) << "the fixture's link shows as a reparse point";
    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectFiles(tree.c_str());
    EXPECT_EQ(Collected(collector.Get()),
              (std::multiset<std::wstring>{tree + L"/x.txt", tree + L"/sub/y.txt"}));
    collector->CollectSubdirectories(tree.c_str());
    EXPECT_EQ(collector->GetCount(), 3) << "the link is no subfolder to collect";
}

TEST_F(FileCollector, LinkedFoldersAreNeitherEnteredNorListed)
{
    VFS()->CreateDirectory(L"outside");
    RVTest::WriteWholeFile(L"outside\\precious.txt", "keep me");
    const std::wstring target = Temp() + L"\\outside";
    const std::wstring junction = Temp() + L"\\a\\junction";
    const std::wstring symlink = Temp() + L"\\a\\symlink";
    const bool haveJunction = MakeMountPoint(junction, target) && IsReparsePoint(junction);
    const bool haveSymlink = CreateSymbolicLinkW(symlink.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
                             IsReparsePoint(symlink);
    if (!haveJunction && !haveSymlink)
        GTEST_SKIP() << "this system makes neither junctions nor directory symbolic links";

    TIntrusivePointer<IFileCollector> collector = NewCollector();
    collector->CollectFiles(L"a");
    EXPECT_EQ(Collected(collector.Get()), (std::multiset<std::wstring>{L"a/x.txt", L"a/b/y.txt", L"a/b/c/z.txt"}));
    collector->CollectSubdirectories(L"a");
    EXPECT_EQ(Collected(collector.Get()).count(L"a/b"), 1u);
    EXPECT_EQ(Collected(collector.Get()).count(L"a/junction"), 0u);
    EXPECT_EQ(Collected(collector.Get()).count(L"a/symlink"), 0u);
    RemoveDirectoryW(junction.c_str());
    RemoveDirectoryW(symlink.c_str());
}
