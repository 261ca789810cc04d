// The generated benchmark package written both ways: the setup benchmark
// embeds the folder form, the install benchmark extracts the blob form, and
// their figures are compared only if both hold the same entries.

#include "bench/BenchPackage.h"
#include "tests/support/TempFolder.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

uint32_t Get32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::string Inflated(const std::string& blob)
{
    uLongf size = Get32(blob, 0);
    std::string archive(size, '\0');
    const int result = uncompress(reinterpret_cast<Bytef*>(&archive[0]), &size,
                                  reinterpret_cast<const Bytef*>(blob.data() + 4), static_cast<uLong>(blob.size() - 4));
    return result == Z_OK && size == archive.size() ? archive : std::string();
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

// Enough files for every kind and one large entry (every 250th, from the 8th).
TEST(BenchPackage, TheFolderHoldsTheBlobsEntriesUnscrambled)
{
    const RVTest::TempFolder temp;
    const std::vector<Bench::BenchEntry> entries = Bench::MakeEntries(12);
    uint64_t archiveSize = 0;
    uint64_t blobSize = 0;
    ASSERT_TRUE(Bench::WriteBlob(entries, temp.Child(L"package.blob"), &archiveSize, &blobSize));
    ASSERT_TRUE(Bench::WriteFolder(entries, temp.Child(L"package")));
    const std::string archive = Inflated(RVTest::ReadWholeFile(temp.Child(L"package.blob")));
    ASSERT_EQ(archive.size(), archiveSize);
    ASSERT_EQ(Get32(archive, 8), entries.size());

    size_t at = 12;
    std::vector<std::pair<uint32_t, uint32_t>> places;
    for (const Bench::BenchEntry& entry : entries) {
        const uint32_t units = Get32(archive, at + 8);
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(archive.data() + at + 12), units), entry.name);
        EXPECT_EQ(Get32(archive, at + 4), entry.size) << entry.name;
        places.emplace_back(Get32(archive, at), Get32(archive, at + 4));
        at += 12 + units * 2;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string file = RVTest::ReadWholeFile(temp.Child(L"package\\" + entries[i].name));
        ASSERT_EQ(file.size(), entries[i].size) << entries[i].name;
        RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->ScrambleBuffer(
            reinterpret_cast<uint8_t*>(&file[0]), static_cast<int32_t>(file.size()));
        EXPECT_TRUE(file == archive.substr(at + places[i].first, places[i].second)) << entries[i].name;
    }
}

TEST(BenchPackage, EntryFoldersAreMadeOncePerPath)
{
    struct Row { std::vector<const wchar_t*> names; std::set<std::wstring> made; };
    const Row rows[] = {
        {{L"top.txt"}, {}},
        {{L"Data/a.txt"}, {L"Data"}},
        {{L"Web/Data/Folder01/f.xml"}, {L"Web", L"Web/Data", L"Web/Data/Folder01"}},
        {{L"Data/A/x.ini", L"Data/A/y.ini", L"Data/B/z.ini"}, {L"Data", L"Data/A", L"Data/B"}},
    };
    for (const Row& row : rows) {
        const RVTest::TempFolder temp;
        const std::wstring root = temp.Path() + L"/";
        std::set<std::wstring> made;
        for (const wchar_t* name : row.names)
            Bench::MakeEntryFolders(root, name, &made);
        std::set<std::wstring> expected;
        for (const std::wstring& folder : row.made) {
            expected.insert(root + folder);
            EXPECT_TRUE(IsFolder(root + folder)) << folder;
        }
        EXPECT_EQ(made, expected) << row.names[0];
    }
}
