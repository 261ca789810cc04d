#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include <cstring>
#include <thread>

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;
using FileSystemTest::FileSystemTestBase;
using FileSystemTest::NewStream;
using FileSystemTest::StreamPtr;

namespace {

std::wstring Replaced(const wchar_t* name)
{
    return IVirtualFileSystem_GetInstance()->ReplaceFilename(name)->GetUtf16();
}

} // namespace

class NamesAndPaths : public FileSystemTestBase
{
};

TEST_F(NamesAndPaths, ReplacementIgnoresCaseAndAppliesPairsInOrder)
{
    EXPECT_EQ(Replaced(L"DATA/x"), L"DATA/x") << "no pairs: unchanged";
    VFS()->AddFilenameReplace(L"data/", L"Data2/");
    EXPECT_EQ(Replaced(L"DATA/x/data/y"), L"Data2/x/Data2/y");

    VFS()->ClearFilenameReplace();
    VFS()->AddFilenameReplace(L"a", L"b");
    VFS()->AddFilenameReplace(L"b", L"c");
    EXPECT_EQ(Replaced(L"ab"), L"cc");

    // A pair's own output is not scanned again by that pair.
    VFS()->ClearFilenameReplace();
    VFS()->AddFilenameReplace(L"x", L"xx");
    EXPECT_EQ(Replaced(L"xax"), L"xxaxx");

    // An empty source would match everywhere: it is ignored.
    VFS()->ClearFilenameReplace();
    VFS()->AddFilenameReplace(L"", L"junk");
    VFS()->AddFilenameReplace(nullptr, L"junk");
    EXPECT_EQ(Replaced(L"abc"), L"abc");
    EXPECT_EQ(Replaced(nullptr), L"");
}

TEST_F(NamesAndPaths, ReplacementRefusesNamesBeyondItsLimit)
{
    const std::wstring longest(9999, L'n');
    EXPECT_EQ(Replaced(longest.c_str()), longest);
    EXPECT_EQ(Replaced((longest + L"n").c_str()), L"");
    VFS()->AddFilenameReplace(L"n", L"nn");
    EXPECT_EQ(Replaced(longest.c_str()), L"") << "a result that grows beyond the limit";
}

TEST_F(NamesAndPaths, ReplacementMayRunWhilePairsAreAdded)
{
    std::thread adder([] {
        for (int i = 0; i < 300; ++i)
            IVirtualFileSystem_GetInstance()->AddFilenameReplace(L"zz", L"zz");
    });
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(Replaced(L"path/zz/file"), L"path/zz/file");
    adder.join();
}

TEST_F(NamesAndPaths, PathPartsComeFromTheLastSeparatorAndTheFileNamePart)
{
    wchar_t part[kPathPartBufferLength];
    EXPECT_TRUE(VFS()->GetDirectoryPart(L"a/b\\c.txt", part));
    EXPECT_STREQ(part, L"a/b");
    VFS()->GetDirectoryPart(L"file.txt", part);
    EXPECT_STREQ(part, L"./");

    VFS()->GetFileNamePart(L"a\\b/c.txt", part);
    EXPECT_STREQ(part, L"c.txt");
    VFS()->GetFileNamePart(L"file.txt", part);
    EXPECT_STREQ(part, L"file.txt") << "a bare name is its own file name";
    VFS()->GetFileNamePart(L"folder/", part);
    EXPECT_STREQ(part, L"");

    VFS()->GetExtension(L"dir/archive.tar.gz", part);
    EXPECT_STREQ(part, L"gz");
    VFS()->GetExtension(L"dir.old/file", part);
    EXPECT_STREQ(part, L"") << "a dot in a folder name is no extension";
    VFS()->GetExtension(L"name.", part);
    EXPECT_STREQ(part, L"");

    const std::wstring tooLong = std::wstring(300, L'p') + L"/x";
    EXPECT_FALSE(VFS()->GetDirectoryPart(tooLong.c_str(), part));
    EXPECT_STREQ(part, L"");
    EXPECT_FALSE(VFS()->GetFileNamePart(nullptr, part));
}

TEST_F(NamesAndPaths, CreateDirectoryMakesTheWholeChain)
{
    EXPECT_FALSE(VFS()->IsDirectory(L"a"));
    VFS()->CreateDirectory(L"a/b\\c");
    EXPECT_TRUE(VFS()->IsDirectory(L"a"));
    EXPECT_TRUE(VFS()->IsDirectory(L"a/b"));
    EXPECT_TRUE(VFS()->IsDirectory(L"a/b/c"));
    VFS()->CreateDirectory(L"a/b/c");
    EXPECT_TRUE(VFS()->IsDirectory(L"a/b/c"));

    const std::wstring absolute = Temp() + L"\\x\\y";
    VFS()->CreateDirectory(absolute.c_str());
    EXPECT_TRUE(VFS()->IsDirectory(absolute.c_str()));

    ASSERT_TRUE(RVTest::WriteWholeFile(L"plain.txt", "x"));
    EXPECT_FALSE(VFS()->IsDirectory(L"plain.txt"));
    EXPECT_FALSE(VFS()->IsDirectory(nullptr));
}

TEST_F(NamesAndPaths, ClearReadOnlyLetsAFileBeRewritten)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(L"locked.txt", "old"));
    SetFileAttributesW(L"locked.txt", FILE_ATTRIBUTE_READONLY);
    VFS()->ClearReadOnly(L"locked.txt");
    EXPECT_EQ(GetFileAttributesW(L"locked.txt") & FILE_ATTRIBUTE_READONLY, 0u);

    SetFileAttributesW(L"locked.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(VFS()->WriteFile(L"locked.txt", NewStream("new").Get()));
    EXPECT_EQ(RVTest::ReadWholeFile(L"locked.txt"), "new");
}

TEST_F(NamesAndPaths, ScramblingRoundTripsAndRvefIsRecognisedByItsWholeMagic)
{
    uint8_t bytes[5] = {0, 1, 0x7F, 0x80, 0xFF};
    VFS()->ScrambleBuffer(bytes, 5);
    EXPECT_NE(std::memcmp(bytes, "\x00\x01\x7F\x80\xFF", 5), 0);
    VFS()->UnscrambleBuffer(bytes, 5);
    EXPECT_EQ(std::memcmp(bytes, "\x00\x01\x7F\x80\xFF", 5), 0);

    StreamPtr three = NewStream("abc");
    StreamPtr scrambled = VFS()->ScrambleStream(three);
    ASSERT_FALSE(scrambled.IsNull());
    EXPECT_EQ(scrambled->GetSize(), 7);
    EXPECT_EQ(std::memcmp(scrambled->GetData(), "RVEF", 4), 0);
    EXPECT_EQ(scrambled->Tell(), 0);
    EXPECT_EQ(VFS()->ScrambleStream(scrambled), scrambled) << "already scrambled: the same stream";

    StreamPtr almost = NewStream("RVE");
    StreamPtr wrapped = VFS()->ScrambleStream(almost);
    EXPECT_NE(wrapped, almost) << "\"RVE\" is plain";
    EXPECT_EQ(wrapped->GetSize(), 7);
    EXPECT_TRUE(VFS()->ScrambleStream(StreamPtr()).IsNull());
}
