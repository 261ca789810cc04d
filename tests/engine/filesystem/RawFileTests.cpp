#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/filesystem/CRawFile.h"

using namespace FileSystemTest;

class RawFile : public FileSystemTestBase
{
protected:
    TIntrusivePointer<CRawFile> m_file{new CRawFile()};
};

TEST_F(RawFile, OpenMakesFoldersKeepsContentAppliesReplacementsAndWarnsOnlyWhenAsked)
{
    ASSERT_TRUE(m_file->Open(L"logs/2024/a.txt", false, true));
    EXPECT_TRUE(m_file->WriteNext("hello", 5));
    m_file->Close();
    ASSERT_TRUE(m_file->Open(L"logs/2024/a.txt", false, true));
    EXPECT_EQ(m_file->GetFileSize(), 5u) << "opening for writing does not cut";
    ASSERT_TRUE(RVTest::WriteWholeFile(L"real.txt", "real"));
    VFS()->AddFilenameReplace(L"alias", L"real");
    ASSERT_TRUE(m_file->Open(L"ALIAS.txt", true, false));
    EXPECT_STREQ(m_file->GetName(), L"real.txt");
    char bytes[4] = {};
    EXPECT_TRUE(m_file->Read(0, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "real");
    EXPECT_FALSE(m_file->Open(L"missing.bin", true, false));
    EXPECT_FALSE(m_file->Open(L"missing.bin", true, true));
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"Failed to open file: missing.bin"});
}

TEST_F(RawFile, TypedValuesAndTextsRoundTripAtTheRunningPosition)
{
    ASSERT_TRUE(m_file->Open(L"values.bin", false, true));
    m_file->WriteInt8(-1), m_file->WriteUInt16(0xABCD), m_file->WriteInt32(-7);
    m_file->WriteUInt64(0x1122334455667788ULL), m_file->WriteFloat(-0.25f), m_file->WriteStringA("narrow");
    m_file->WriteStringW(L"wide \x4e2d"), m_file->WriteShortStringA(std::string(256, 's').c_str());
    EXPECT_EQ(m_file->GetFileSize(), 1u + 2 + 4 + 8 + 4 + (4 + 6) + (4 + 12) + (1 + 255));
    m_file->SetPositionField(0);
    EXPECT_EQ(m_file->ReadInt8(), -1);
    EXPECT_EQ(m_file->ReadUInt16(), 0xABCD);
    EXPECT_EQ(m_file->ReadInt32(), -7);
    EXPECT_EQ(m_file->ReadUInt64(), 0x1122334455667788ULL);
    EXPECT_EQ(m_file->ReadFloat(), -0.25f);
    EXPECT_STREQ(m_file->ReadStringA()->GetUtf16(), L"narrow");
    EXPECT_STREQ(m_file->ReadStringW()->GetUtf16(), L"wide \x4e2d");
    EXPECT_EQ(std::wstring(m_file->ReadShortStringA()->GetUtf16()), std::wstring(255, L's'));
    EXPECT_FALSE(m_file->HasReadFailed());
}

TEST_F(RawFile, ShortReadsAreFailuresAndOverlongTextsAreRefused)
{
    ASSERT_TRUE(m_file->Open(L"short.bin", false, true));
    m_file->WriteUInt16(7), m_file->SetPositionField(0);
    EXPECT_EQ(m_file->ReadUInt32(), 0u);
    EXPECT_TRUE(m_file->HasReadFailed());
    EXPECT_EQ(m_file->GetPosition(), 4u);
    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_FALSE(m_file->Read(2, buffer, 4));
    EXPECT_EQ(buffer[0], 'k');
    m_file->ClearReadFailure(), m_file->SetPositionField(0);
    m_file->WriteUInt32(10000), m_file->SetPositionField(0);
    EXPECT_TRUE(m_file->ReadStringA().IsNull());
    EXPECT_TRUE(m_file->HasReadFailed());
    m_file->Close();
    EXPECT_FALSE(m_file->Read(0, buffer, 1));
    EXPECT_FALSE(m_file->WriteNext("x", 1));
}

TEST_F(RawFile, SizesBeyondFourGigabytesAreReportedWholeAndFilesOfTwoOrMoreAreNotRead)
{
    ASSERT_TRUE(m_file->Open(L"sparse.bin", false, true));
    const uint64_t fiveGiB = 5ull << 30;
    if (!m_file->SetSize(fiveGiB))
        GTEST_SKIP() << "the file system here cannot make a 5 GiB file";
    EXPECT_EQ(m_file->GetFileSize(), fiveGiB);
    EXPECT_TRUE(m_file->Write(fiveGiB - 1, "z", 1));
    char last = 0;
    EXPECT_TRUE(m_file->Read(fiveGiB - 1, &last, 1));
    EXPECT_EQ(last, 'z');
    ASSERT_TRUE(m_file->SetSize(2ull << 30));
    m_file->Close();
    EXPECT_TRUE(VFS()->ReadFile(L"sparse.bin").IsNull());
    EXPECT_FALSE(VFS()->MountPackedFile(L"sparse.bin"));
}
