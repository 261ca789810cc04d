#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/CRawFile.h"

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;
using FileSystemTest::FileSystemTestBase;

namespace {

TIntrusivePointer<CRawFile> NewRawFile()
{
    return TIntrusivePointer<CRawFile>(new CRawFile());
}

} // namespace

class RawFile : public FileSystemTestBase
{
};

TEST_F(RawFile, OpenForWritingMakesTheFoldersAndKeepsOldContentUntilCut)
{
    TIntrusivePointer<CRawFile> file = NewRawFile();
    EXPECT_FALSE(file->IsOpen());
    ASSERT_TRUE(file->Open(L"logs/2024/a.txt", false, true));
    EXPECT_TRUE(VFS()->IsDirectory(L"logs/2024"));
    EXPECT_TRUE(file->WriteNext("hello", 5));
    file->Close();
    EXPECT_FALSE(file->IsOpen());

    ASSERT_TRUE(file->Open(L"logs/2024/a.txt", false, true));
    EXPECT_EQ(file->GetFileSize(), 5u);
    EXPECT_TRUE(file->SetSize(0));
    EXPECT_EQ(file->GetFileSize(), 0u);
    file->Close();
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
}

TEST_F(RawFile, FailedOpenWarnsOnlyWhenAsked)
{
    TIntrusivePointer<CRawFile> file = NewRawFile();
    EXPECT_FALSE(file->Open(L"missing.bin", true, false));
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());

    EXPECT_FALSE(file->Open(L"missing.bin", true, true));
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Failed to open file: missing.bin");
}

TEST_F(RawFile, OpenAppliesTheReplacementList)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(L"real.txt", "real"));
    VFS()->AddFilenameReplace(L"alias", L"real");
    TIntrusivePointer<CRawFile> file = NewRawFile();
    ASSERT_TRUE(file->Open(L"ALIAS.txt", true, false));
    EXPECT_STREQ(file->GetName(), L"real.txt");
    char bytes[4] = {};
    EXPECT_TRUE(file->Read(0, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "real");
}

TEST_F(RawFile, TypedValuesAndTextsRoundTripAtTheRunningPosition)
{
    TIntrusivePointer<CRawFile> file = NewRawFile();
    ASSERT_TRUE(file->Open(L"values.bin", false, true));
    file->WriteInt8(-1);
    file->WriteUInt16(0xABCD);
    file->WriteInt32(-7);
    file->WriteUInt64(0x1122334455667788ULL);
    file->WriteFloat(-0.25f);
    file->WriteStringA("narrow");
    file->WriteStringW(L"wide \x4e2d");
    file->WriteShortStringA(std::string(256, 's').c_str());
    const uint64_t end = file->GetPosition();
    EXPECT_EQ(end, 1u + 2 + 4 + 8 + 4 + (4 + 6) + (4 + 12) + (1 + 255));
    EXPECT_EQ(file->GetFileSize(), end);

    file->SetPositionField(0);
    EXPECT_EQ(file->ReadInt8(), -1);
    EXPECT_EQ(file->ReadUInt16(), 0xABCD);
    EXPECT_EQ(file->ReadInt32(), -7);
    EXPECT_EQ(file->ReadUInt64(), 0x1122334455667788ULL);
    EXPECT_EQ(file->ReadFloat(), -0.25f);
    EXPECT_STREQ(file->ReadStringA()->GetUtf16(), L"narrow");
    EXPECT_STREQ(file->ReadStringW()->GetUtf16(), L"wide \x4e2d");
    EXPECT_EQ(std::wstring(file->ReadShortStringA()->GetUtf16()), std::wstring(255, L's'));
    EXPECT_FALSE(file->HasReadFailed());
}

TEST_F(RawFile, ShortReadsAreFailuresAndOverlongTextsAreRefused)
{
    TIntrusivePointer<CRawFile> file = NewRawFile();
    ASSERT_TRUE(file->Open(L"short.bin", false, true));
    file->WriteUInt16(7);
    file->SetPositionField(0);
    EXPECT_EQ(file->ReadUInt32(), 0u);
    EXPECT_TRUE(file->HasReadFailed());
    EXPECT_EQ(file->GetPosition(), 4u);

    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_FALSE(file->Read(2, buffer, 4));
    EXPECT_EQ(buffer[0], 'k');

    file->ClearReadFailure();
    file->SetPositionField(0);
    file->WriteUInt32(10000);
    file->SetPositionField(0);
    EXPECT_TRUE(file->ReadStringA().IsNull());
    EXPECT_TRUE(file->HasReadFailed());

    file->Close();
    EXPECT_FALSE(file->Read(0, buffer, 1));
    EXPECT_FALSE(file->WriteNext("x", 1));
}

TEST_F(RawFile, SizesBeyondFourGigabytesAreReportedWhole)
{
    TIntrusivePointer<CRawFile> file = NewRawFile();
    ASSERT_TRUE(file->Open(L"sparse.bin", false, true));
    const uint64_t fiveGiB = 5ull * 1024 * 1024 * 1024;
    if (!file->SetSize(fiveGiB))
        GTEST_SKIP() << "the file system here cannot make a 5 GiB file";
    EXPECT_EQ(file->GetFileSize(), fiveGiB);
    EXPECT_TRUE(file->Write(fiveGiB - 1, "z", 1));
    char last = 0;
    EXPECT_TRUE(file->Read(fiveGiB - 1, &last, 1));
    EXPECT_EQ(last, 'z');
    file->SetSize(0);
}
