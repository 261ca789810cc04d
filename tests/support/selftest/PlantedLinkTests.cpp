#include "tests/support/PlantedLink.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// A link is refused a name that is taken, and what has that name stays when
// the refused object goes: a file, a folder, or a link planted by another.
TEST(PlantedLinks, LeaveAloneWhatAlreadyHadTheirName)
{
    const RVTest::TempFolder folder;
    const std::wstring target = folder.Child(L"target");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.Child(L"folder").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"file"), "kept"));
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"target\\inside"), "seen"));
    std::optional<RVTest::PlantedLink> first;
    first.emplace(folder.Child(L"linked"), target, true);
    if (!first->Made())
        GTEST_SKIP() << "no links can be made here";
    const struct
    {
        const wchar_t* name;
        bool folder;
    } rows[] = {{L"file", false}, {L"folder", true}, {L"linked", true}};
    for (const auto& row : rows) {
        {
            const RVTest::PlantedLink refused(folder.Child(row.name), target, row.folder);
            EXPECT_FALSE(refused.Made()) << row.name;
        }
        EXPECT_TRUE(Exists(folder.Child(row.name))) << row.name;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(folder.Child(L"file")), "kept");
    EXPECT_EQ(RVTest::ReadWholeFile(folder.Child(L"linked\\inside")), "seen") << "the first link still leads there";
    first.reset();
    EXPECT_FALSE(Exists(folder.Child(L"linked")));
    EXPECT_EQ(RVTest::ReadWholeFile(folder.Child(L"target\\inside")), "seen");
}
