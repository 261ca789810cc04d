#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/IPackedFileReader.h"

#include <thread>

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;
using FileSystemTest::FileSystemTestBase;
using FileSystemTest::Fixture;
using FileSystemTest::StreamText;

namespace {

TIntrusivePointer<IPackedFileReader> OpenArchive(const std::wstring& fixture, bool* opened)
{
    TIntrusivePointer<IPackedFileReader> reader(IPackedFileReader_Create());
    *opened = reader->Open(Fixture(fixture).c_str());
    return reader;
}

} // namespace

class PackedArchive : public FileSystemTestBase
{
};

TEST_F(PackedArchive, ReaderListsNormalisedNamesAndTheFirstOfTwinsWins)
{
    bool opened = false;
    TIntrusivePointer<IPackedFileReader> reader = OpenArchive(L"sample.rade", &opened);
    ASSERT_TRUE(opened);
    ASSERT_EQ(reader->GetItemCount(), 10);
    EXPECT_STREQ(reader->GetItemName(0), L"Installer/UI/a.xml");
    EXPECT_TRUE(reader->FileExists(L"installer/ui/A.XML"));
    EXPECT_FALSE(reader->FileExists(L"./ui/a.xml")) << "only the manager strips \"./\"";
    EXPECT_FALSE(reader->FileExists(nullptr));

    EXPECT_STREQ(reader->GetItemName(3), L"dup.txt");
    EXPECT_STREQ(reader->GetItemName(4), L"dup.txt");
    EXPECT_EQ(StreamText(reader->ReadItem(4).Get()), "first");
    EXPECT_EQ(StreamText(reader->ReadFile(L"DUP.TXT").Get()), "first");

    TIntrusivePointer<RVGameEngine::Common::IStream> bytes = reader->ReadFile(L"bytes.bin");
    ASSERT_FALSE(bytes.IsNull());
    ASSERT_EQ(bytes->GetSize(), 1024);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(bytes->GetData()[i], static_cast<uint8_t>(i)) << "entry bytes are unscrambled";
    EXPECT_EQ(bytes->Tell(), 0);

    EXPECT_TRUE(reader->ReadFile(L"absent").IsNull());
    EXPECT_EQ(reader->GetItemName(-1), nullptr);
    EXPECT_EQ(reader->GetItemName(10), nullptr);
    EXPECT_TRUE(reader->ReadItem(10).IsNull());
}

TEST_F(PackedArchive, EmptyTablesOpenAndTheLongestNameIsAccepted)
{
    bool opened = false;
    TIntrusivePointer<IPackedFileReader> empty = OpenArchive(L"empty_table.rade", &opened);
    EXPECT_TRUE(opened);
    EXPECT_EQ(empty->GetItemCount(), 0);
    EXPECT_FALSE(empty->FileExists(L"a.txt"));

    TIntrusivePointer<IPackedFileReader> longest = OpenArchive(L"longest_name.rade", &opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(StreamText(longest->ReadFile(std::wstring(999, L'M').c_str()).Get()), "longest");
}

TEST_F(PackedArchive, DamagedAndHostileArchivesAreRefusedWhole)
{
    const wchar_t* refused[] = {
        L"truncated_table.rade", L"truncated_header.rade", L"huge_count.rade", L"all_ones_count.rade",
        L"past_end.rade",        L"offset_past_end.rade",  L"long_name.rade",  L"huge_name_length.rade",
        L"version2.rade",        L"bad_magic.rade",        L"cut_data.rade",   L"missing.rade",
    };
    for (const wchar_t* name : refused) {
        bool opened = true;
        TIntrusivePointer<IPackedFileReader> reader = OpenArchive(name, &opened);
        EXPECT_FALSE(opened) << name;
        EXPECT_EQ(reader->GetItemCount(), 0) << name << ": a refused archive holds no entries";
        EXPECT_FALSE(reader->FileExists(L"a.txt")) << name;
        EXPECT_TRUE(reader->ReadFile(L"a.txt").IsNull()) << name;
        EXPECT_FALSE(VFS()->MountPackedFile(Fixture(name).c_str())) << name;
    }
    EXPECT_EQ(IPackedFileManager_GetInstance()->GetReaderCount(), 0);
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty()) << "archive checks never ask the user";
}

TEST_F(PackedArchive, AFailedReopenDropsTheEarlierEntries)
{
    bool opened = false;
    TIntrusivePointer<IPackedFileReader> reader = OpenArchive(L"sample.rade", &opened);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(reader->Open(Fixture(L"past_end.rade").c_str()));
    EXPECT_EQ(reader->GetItemCount(), 0);
    EXPECT_FALSE(reader->Open(nullptr));
}

TEST_F(PackedArchive, ManagerAsksArchivesInMountOrder)
{
    IPackedFileManager* manager = IPackedFileManager_GetInstance();
    ASSERT_TRUE(manager->Mount(Fixture(L"tree.rade").c_str()));
    ASSERT_TRUE(manager->Mount(Fixture(L"sample.rade").c_str()));
    EXPECT_EQ(manager->GetReaderCount(), 2);
    EXPECT_EQ(manager->GetReader(1)->GetItemCount(), 10);
    EXPECT_TRUE(manager->GetReader(2).IsNull());
    EXPECT_TRUE(manager->FileExists(L"./top.txt"));
    EXPECT_TRUE(manager->FileExists(L"ui/a.xml"));
    EXPECT_FALSE(manager->FileExists(nullptr));
    EXPECT_TRUE(manager->ReadFile(L"nowhere").IsNull());
    manager->UnmountAll();
    EXPECT_EQ(manager->GetReaderCount(), 0);
    EXPECT_FALSE(manager->FileExists(L"ui/a.xml"));
}

TEST_F(PackedArchive, ThreadsMayReadOneMountedArchiveAtOnce)
{
    ASSERT_TRUE(VFS()->MountPackedFile(Fixture(L"sample.rade").c_str()));
    auto reader = [](const wchar_t* name, const std::string& expected, int* mismatches) {
        for (int i = 0; i < 200; ++i) {
            TIntrusivePointer<RVGameEngine::Common::IStream> stream =
                IVirtualFileSystem_GetInstance()->ReadFile(name);
            if (stream.IsNull() || StreamText(stream.Get()) != expected)
                ++*mismatches;
        }
    };
    int firstMismatches = 0;
    int secondMismatches = 0;
    std::thread first(reader, L"ui/a.xml", std::string("ui-a"), &firstMismatches);
    std::thread second(reader, L"data/both.txt", std::string("from the archive"), &secondMismatches);
    first.join();
    second.join();
    EXPECT_EQ(firstMismatches, 0);
    EXPECT_EQ(secondMismatches, 0);
}
