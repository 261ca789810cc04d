#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include <thread>
#include <utility>

using namespace FileSystemTest;

namespace {

std::wstring Replaced(const wchar_t* name)
{
    return IVirtualFileSystem_GetInstance()->ReplaceFilename(name)->GetUtf16();
}

} // namespace

using NamesAndPaths = FileSystemTestBase;

TEST_F(NamesAndPaths, ReplacementIgnoresCaseAppliesPairsInOrderKeepsToItsLimitAndIsThreadSafe)
{
    struct Case
    {
        std::vector<std::pair<const wchar_t*, const wchar_t*>> pairs;
        std::wstring name;
        std::wstring expected;
    };
    const std::wstring longest(9999, L'n');
    const Case cases[] = {
        {{}, L"DATA/x", L"DATA/x"},
        {{{L"data/", L"Data2/"}}, L"DATA/x/data/y", L"Data2/x/Data2/y"},
        {{{L"a", L"b"}, {L"b", L"c"}}, L"ab", L"cc"},
        {{{L"x", L"xx"}}, L"xax", L"xxaxx"}, // a pair's own output is not scanned again
        {{{L"", L"junk"}, {nullptr, L"junk"}}, L"abc", L"abc"}, // an empty source would match everywhere
        {{}, longest, longest},
        {{}, longest + L"n", L""},
        {{{L"n", L"nn"}}, longest, L""}, // the result grows beyond the limit
    };
    for (const Case& c : cases) {
        VFS()->ClearFilenameReplace();
        for (const auto& pair : c.pairs)
            VFS()->AddFilenameReplace(pair.first, pair.second);
        EXPECT_EQ(Replaced(c.name.c_str()), c.expected) << c.name.substr(0, 20);
    }
    EXPECT_EQ(Replaced(nullptr), L"");
    // Replacing may run while pairs are added.
    VFS()->ClearFilenameReplace();
    std::thread adder([] {
        for (int i = 0; i < 300; ++i)
            VFS()->AddFilenameReplace(L"zz", L"zz");
    });
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(Replaced(L"path/zz/file"), L"path/zz/file");
    adder.join();
}

TEST_F(NamesAndPaths, PathPartsComeFromTheLastSeparatorAndTheFileNamePart)
{
    using PartFunction = bool (IVirtualFileSystem::*)(const wchar_t*, wchar_t*);
    const PartFunction directory = &IVirtualFileSystem::GetDirectoryPart,
                       fileName = &IVirtualFileSystem::GetFileNamePart, extension = &IVirtualFileSystem::GetExtension;
    const std::wstring tooLong = std::wstring(300, L'p') + L"/x";
    const struct
    {
        PartFunction function;
        const wchar_t* path;
        bool answered;
        const wchar_t* expected;
    } cases[] = {
        {directory, L"a/b\\c.txt", true, L"a/b"},    {directory, L"file.txt", true, L"./"},
        {fileName, L"a\\b/c.txt", true, L"c.txt"},   {fileName, L"file.txt", true, L"file.txt"},
        {fileName, L"folder/", true, L""},           {extension, L"dir/archive.tar.gz", true, L"gz"},
        {extension, L"dir.old/file", true, L""},     {extension, L"name.", true, L""},
        {directory, tooLong.c_str(), false, L""},    {fileName, nullptr, false, L""},
        {directory, nullptr, false, L""},            {extension, nullptr, false, L""},
    };
    for (const auto& c : cases) {
        wchar_t part[kPathPartBufferLength] = L"junk";
        EXPECT_EQ((VFS()->*c.function)(c.path, part), c.answered) << (c.path ? c.path : L"null");
        EXPECT_STREQ(part, c.expected) << (c.path ? c.path : L"null");
    }
}

TEST_F(NamesAndPaths, CreateDirectoryMakesTheWholeChainAndClearReadOnlyAllowsRewrites)
{
    VFS()->CreateDirectory(L"a/b\\c");
    EXPECT_TRUE(VFS()->IsDirectory(L"a/b/c"));
    VFS()->CreateDirectory((Temp() + L"\\x\\y").c_str());
    EXPECT_TRUE(VFS()->IsDirectory((Temp() + L"\\x\\y").c_str()));
    EXPECT_FALSE(VFS()->IsDirectory(nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(L"locked.txt", "old"));
    EXPECT_FALSE(VFS()->IsDirectory(L"locked.txt"));
    SetFileAttributesW(L"locked.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(VFS()->WriteFile(L"locked.txt", NewStream("new").Get()));
    EXPECT_EQ(RVTest::ReadWholeFile(L"locked.txt"), "new");
}
