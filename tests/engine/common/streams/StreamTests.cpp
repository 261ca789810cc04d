#include "engine/common/ICompress.h"
#include "engine/common/IStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

TIntrusivePointer<IStream> Make(int32_t size)
{
    return TIntrusivePointer<IStream>(IStream_Create(size));
}

std::vector<uint8_t> Bytes(IStream* stream)
{
    return std::vector<uint8_t>(stream->GetData(), stream->GetData() + stream->GetSize());
}

} // namespace

TEST(Stream, CreateHoldsZeroBytesAndEmptyStreamStartsEmpty)
{
    TIntrusivePointer<IStream> sized = Make(8);
    ASSERT_FALSE(sized.IsNull());
    EXPECT_EQ(sized->GetSize(), 8);
    EXPECT_EQ(sized->Tell(), 0);
    EXPECT_EQ(Bytes(sized.Get()), std::vector<uint8_t>(8, 0));

    TIntrusivePointer<IStream> empty(IStream_CreateEmpty());
    ASSERT_FALSE(empty.IsNull());
    EXPECT_EQ(empty->GetSize(), 0);
    EXPECT_TRUE(Make(-1).IsNull());
}

TEST(Stream, WritesOverwriteInTheMiddleAndExtendAtTheEnd)
{
    TIntrusivePointer<IStream> stream = Make(0);
    EXPECT_TRUE(stream->Write("abc", 3));
    EXPECT_EQ(stream->GetSize(), 3);

    TIntrusivePointer<IStream> fixed = Make(8);
    uint8_t* before = fixed->GetData();
    EXPECT_TRUE(fixed->Write("12345678", 8));
    EXPECT_EQ(fixed->GetData(), before) << "a write that fits must not move the buffer";
    EXPECT_EQ(fixed->GetSize(), 8);

    TIntrusivePointer<IStream> ten = Make(10);
    std::memcpy(ten->GetData(), "0123456789", 10);
    ten->Seek(4);
    EXPECT_TRUE(ten->Write("ABCDEFGH", 8));
    EXPECT_EQ(ten->GetSize(), 12);
    EXPECT_EQ(ten->Tell(), 12);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ten->GetData()), 12), "0123ABCDEFGH");
}

TEST(Stream, WriteAfterSeekBeyondTheSizeZeroFillsTheGapAndStaysInsideTheBuffer)
{
    TIntrusivePointer<IStream> stream = Make(2);
    std::memcpy(stream->GetData(), "xy", 2);
    stream->Seek(5000);
    ASSERT_TRUE(stream->Write("end", 3));
    ASSERT_EQ(stream->GetSize(), 5003);
    EXPECT_EQ(stream->GetData()[0], 'x');
    for (int i = 2; i < 5000; ++i)
        ASSERT_EQ(stream->GetData()[i], 0) << "gap byte " << i;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(stream->GetData()) + 5000, 3), "end");

    // Bytes cut off by SetSize must not come back when a later write skips
    // over them.
    TIntrusivePointer<IStream> reused = Make(0);
    reused->Write("secret", 6);
    reused->SetSize(0);
    reused->Seek(4);
    reused->Write("!", 1);
    EXPECT_EQ(Bytes(reused.Get()), (std::vector<uint8_t>{0, 0, 0, 0, '!'}));

    EXPECT_FALSE(reused->Write("x", -1));
    reused->Seek(-3);
    EXPECT_FALSE(reused->Write("x", 1));
}

TEST(Stream, SetSizeMovesThePositionBackAndGrowsWithZeros)
{
    TIntrusivePointer<IStream> stream = Make(10);
    stream->Seek(5);
    stream->SetSize(2);
    EXPECT_EQ(stream->GetSize(), 2);
    EXPECT_EQ(stream->Tell(), 2);

    stream->SetSize(4000);
    EXPECT_EQ(stream->GetSize(), 4000);
    EXPECT_EQ(stream->GetData()[3999], 0);
    stream->SetSize(-1);
    EXPECT_EQ(stream->GetSize(), 4000);
}

TEST(Stream, EveryTypedValueRoundTripsLittleEndian)
{
    TIntrusivePointer<IStream> stream(IStream_CreateEmpty());
    stream->WriteInt8(-5);
    stream->WriteUInt8(250);
    stream->WriteInt16(-1234);
    stream->WriteUInt16(0xBEEF);
    stream->WriteInt32(-123456789);
    stream->WriteUInt32(0xDEADBEEF);
    stream->WriteInt64(-1234567890123LL);
    stream->WriteUInt64(0x0123456789ABCDEFULL);
    stream->WriteFloat(3.5f);
    EXPECT_EQ(stream->GetSize(), 1 + 1 + 2 + 2 + 4 + 4 + 8 + 8 + 4);
    EXPECT_EQ(stream->GetData()[4], 0xEF);
    EXPECT_EQ(stream->GetData()[5], 0xBE);

    stream->Seek(0);
    EXPECT_EQ(stream->ReadInt8(), -5);
    EXPECT_EQ(stream->ReadUInt8(), 250);
    EXPECT_EQ(stream->ReadInt16(), -1234);
    EXPECT_EQ(stream->ReadUInt16(), 0xBEEF);
    EXPECT_EQ(stream->ReadInt32(), -123456789);
    EXPECT_EQ(stream->ReadUInt32(), 0xDEADBEEFu);
    EXPECT_EQ(stream->ReadInt64(), -1234567890123LL);
    EXPECT_EQ(stream->ReadUInt64(), 0x0123456789ABCDEFULL);
    EXPECT_EQ(stream->ReadFloat(), 3.5f);
    EXPECT_FALSE(stream->HasReadFailed());
}

TEST(Stream, ReadsNeverPassTheSize)
{
    TIntrusivePointer<IStream> stream = Make(3);
    std::memcpy(stream->GetData(), "\x01\x02\x03", 3);
    EXPECT_EQ(stream->ReadUInt32(), 0u);
    EXPECT_TRUE(stream->HasReadFailed());
    EXPECT_EQ(stream->Tell(), 0) << "a refused read copies nothing and does not move";

    stream->ClearReadFailure();
    char buffer[4] = {'k', 'k', 'k', 'k'};
    EXPECT_FALSE(stream->Read(buffer, 4));
    EXPECT_EQ(buffer[0], 'k');
    EXPECT_TRUE(stream->Read(buffer, 3));
    EXPECT_FALSE(stream->Read(buffer, 1));

    stream->Seek(10);
    EXPECT_FALSE(stream->Read(buffer, 0)) << "position beyond the size";
    stream->Seek(-1);
    EXPECT_FALSE(stream->Read(buffer, 1));
}

TEST(Stream, TextsRoundTripInAllThreeForms)
{
    TIntrusivePointer<IStream> stream(IStream_CreateEmpty());
    const char chinese936[] = "\xc4\xe3\xba\xc3";  // 你好 in code page 936
    stream->WriteAnsiString("narrow text");
    stream->WriteUnicodeString(L"wide \x4e2d\x6587");
    stream->WriteShortAnsiString(chinese936);
    stream->WriteAnsiString("");
    stream->Seek(0);
    EXPECT_STREQ(stream->ReadAnsiString()->GetUtf16(), L"narrow text");
    EXPECT_STREQ(stream->ReadUnicodeString()->GetUtf16(), L"wide \x4e2d\x6587");
    EXPECT_STREQ(stream->ReadShortAnsiString()->GetUtf16(), L"\x4f60\x597d");
    EXPECT_STREQ(stream->ReadAnsiString()->GetUtf16(), L"");
    EXPECT_EQ(stream->Tell(), stream->GetSize());
}

TEST(Stream, TextLayoutsHaveLengthFieldsAndNoTerminator)
{
    TIntrusivePointer<IStream> stream(IStream_CreateEmpty());
    stream->WriteUnicodeString(L"abc");
    EXPECT_EQ(Bytes(stream.Get()), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0}));

    TIntrusivePointer<IStream> narrow(IStream_CreateEmpty());
    narrow->WriteAnsiString("hi");
    narrow->WriteShortAnsiString("yo");
    EXPECT_EQ(Bytes(narrow.Get()), (std::vector<uint8_t>{2, 0, 0, 0, 'h', 'i', 2, 'y', 'o'}));
}

TEST(Stream, ShortTextsAreClampedTo255BytesNotCutModulo256)
{
    TIntrusivePointer<IStream> stream(IStream_CreateEmpty());
    const std::string long300(300, 'q');
    stream->WriteShortAnsiString(long300.c_str());
    EXPECT_EQ(stream->GetSize(), 256);
    EXPECT_EQ(stream->GetData()[0], 255);

    // A double-byte character that would straddle the limit is left out whole.
    TIntrusivePointer<IStream> chinese(IStream_CreateEmpty());
    std::string text(254, 'a');
    text += "\xc4\xe3";
    chinese->WriteShortAnsiString(text.c_str());
    EXPECT_EQ(chinese->GetData()[0], 254);
    chinese->Seek(0);
    EXPECT_EQ(std::wstring(chinese->ReadShortAnsiString()->GetUtf16()), std::wstring(254, L'a'));
}

TEST(Stream, OverlongOrTruncatedTextsAreRefusedWithoutMoving)
{
    TIntrusivePointer<IStream> stream(IStream_CreateEmpty());
    stream->WriteUInt32(10000);
    stream->Write(std::string(10000, 'z').data(), 10000);
    stream->Seek(0);
    EXPECT_TRUE(stream->ReadAnsiString().IsNull());
    EXPECT_TRUE(stream->HasReadFailed());
    EXPECT_EQ(stream->Tell(), 0);

    TIntrusivePointer<IStream> longest(IStream_CreateEmpty());
    longest->WriteAnsiString(std::string(9999, 'z').c_str());
    longest->Seek(0);
    EXPECT_EQ(std::wstring(longest->ReadAnsiString()->GetUtf16()).size(), 9999u);

    TIntrusivePointer<IStream> cut(IStream_CreateEmpty());
    cut->WriteUInt32(5);
    cut->Write(L"ab", 4);
    cut->Seek(0);
    EXPECT_TRUE(cut->ReadUnicodeString().IsNull());
    EXPECT_EQ(cut->Tell(), 0);
}

// ------------------------------------------------------------ compressed blobs

namespace {

TIntrusivePointer<IStream> RoundTrip(const std::vector<uint8_t>& data)
{
    TIntrusivePointer<IStream> blob = ICompress_GetInstance()->Compress(data.data(), static_cast<uint32_t>(data.size()));
    if (blob.IsNull())
        return {};
    return ICompress_GetInstance()->Uncompress(blob->GetData(), static_cast<uint32_t>(blob->GetSize()));
}

} // namespace

TEST(Compress, BlobsRoundTripEmptySmallAndLarge)
{
    TIntrusivePointer<IStream> empty = ICompress_GetInstance()->Compress(nullptr, 0);
    ASSERT_FALSE(empty.IsNull());
    const std::vector<uint8_t> emptyBlob = Bytes(empty.Get());
    ASSERT_GT(emptyBlob.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(emptyBlob.begin(), emptyBlob.begin() + 4), std::vector<uint8_t>(4, 0));
    TIntrusivePointer<IStream> none = ICompress_GetInstance()->Uncompress(empty->GetData(), empty->GetSize());
    ASSERT_FALSE(none.IsNull());
    EXPECT_EQ(none->GetSize(), 0);

    TIntrusivePointer<IStream> abc = ICompress_GetInstance()->Compress("abc", 3);
    ASSERT_FALSE(abc.IsNull());
    EXPECT_EQ(abc->Tell(), 0);
    const std::vector<uint8_t> bytes = Bytes(abc.Get());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6), (std::vector<uint8_t>{3, 0, 0, 0, 0x78, 0x9C}));

    std::mt19937 random(42);
    std::vector<uint8_t> large(10 * 1024 * 1024);
    for (uint8_t& b : large)
        b = static_cast<uint8_t>(random());
    TIntrusivePointer<IStream> back = RoundTrip(large);
    ASSERT_FALSE(back.IsNull());
    ASSERT_EQ(back->GetSize(), static_cast<int32_t>(large.size()));
    EXPECT_EQ(std::memcmp(back->GetData(), large.data(), large.size()), 0);
    EXPECT_EQ(back->Tell(), 0);
}

TEST(Compress, DamagedBlobsGiveNothing)
{
    const std::string text(5000, 'w');
    TIntrusivePointer<IStream> blob = ICompress_GetInstance()->Compress(text.data(), 5000);
    ASSERT_FALSE(blob.IsNull());
    std::vector<uint8_t> bytes = Bytes(blob.Get());
    ICompress* compress = ICompress_GetInstance();

    EXPECT_TRUE(compress->Uncompress(bytes.data(), 3).IsNull()) << "shorter than the size field";
    EXPECT_TRUE(compress->Uncompress(nullptr, 10).IsNull());
    EXPECT_TRUE(compress->Uncompress(bytes.data(), static_cast<uint32_t>(bytes.size() - 5)).IsNull()) << "cut";

    std::vector<uint8_t> overstated = bytes;
    overstated[0] += 1;
    EXPECT_TRUE(compress->Uncompress(overstated.data(), static_cast<uint32_t>(overstated.size())).IsNull());

    std::vector<uint8_t> understated = bytes;
    understated[0] -= 1;
    EXPECT_TRUE(compress->Uncompress(understated.data(), static_cast<uint32_t>(understated.size())).IsNull());

    std::vector<uint8_t> scribbled = bytes;
    for (size_t i = 6; i < scribbled.size(); ++i)
        scribbled[i] ^= 0x55;
    EXPECT_TRUE(compress->Uncompress(scribbled.data(), static_cast<uint32_t>(scribbled.size())).IsNull());

    // A size no zlib stream of this length can hold is refused before any
    // buffer is made for it.
    std::vector<uint8_t> boastful = bytes;
    const uint32_t huge = 0x7FFFFFF0u;
    std::memcpy(boastful.data(), &huge, 4);
    EXPECT_TRUE(compress->Uncompress(boastful.data(), static_cast<uint32_t>(boastful.size())).IsNull());
    const uint32_t beyond = 0xFFFFFFFFu;
    std::memcpy(boastful.data(), &beyond, 4);
    EXPECT_TRUE(compress->Uncompress(boastful.data(), static_cast<uint32_t>(boastful.size())).IsNull());
}
