#include "engine/filesystem/ICompress.h"
#include "engine/common/base/IStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

using Bytes = std::vector<uint8_t>;

TIntrusivePointer<IStream> Make(int32_t size)
{
    return TIntrusivePointer<IStream>(size < 0 ? IStream_CreateEmpty() : IStream_Create(size));
}

Bytes BytesOf(IStream* stream)
{
    return Bytes(stream->GetData(), stream->GetData() + stream->GetSize());
}

// Writes one value, reads it back and hands over the stream for a look at
// its bytes.
template <class T>
TIntrusivePointer<IStream> RoundTrip(bool (IStream::*write)(T), T (IStream::*read)(), T value)
{
    TIntrusivePointer<IStream> stream = Make(-1);
    EXPECT_TRUE((stream.Get()->*write)(value));
    stream->Seek(0);
    EXPECT_EQ((stream.Get()->*read)(), value);
    EXPECT_TRUE(stream->Tell() == int32_t(sizeof(T)) && stream->GetSize() == stream->Tell());
    return stream;
}

} // namespace

TEST(Stream, WritesOverwriteExtendAndFitWithoutMoving)
{
    EXPECT_TRUE(TIntrusivePointer<IStream>(IStream_Create(-1)).IsNull());

    TIntrusivePointer<IStream> ten = Make(10);
    EXPECT_EQ(BytesOf(ten.Get()), Bytes(10, 0));
    uint8_t* before = ten->GetData();
    EXPECT_TRUE(ten->Write("0123456789", 10));
    EXPECT_EQ(ten->GetData(), before) << "a write that fits must not move the buffer";
    ten->Seek(4);
    EXPECT_TRUE(ten->Write("ABCDEFGH", 8));
    EXPECT_EQ(ten->Tell(), 12);
    EXPECT_EQ(std::string(ten->GetData(), ten->GetData() + ten->GetSize()), "0123ABCDEFGH");

    ten->Seek(5);
    ten->SetSize(2);
    EXPECT_EQ(ten->Tell(), 2);
    ten->SetSize(4000);
    ten->SetSize(-1);
    EXPECT_EQ(ten->GetSize(), 4000);
    EXPECT_EQ(ten->GetData()[3999], 0);
}

TEST(Stream, WriteAfterSeekBeyondTheSizeZeroFillsTheGapAndStaysInsideTheBuffer)
{
    TIntrusivePointer<IStream> stream = Make(2);
    std::memcpy(stream->GetData(), "xy", 2);
    stream->Seek(5000);
    ASSERT_TRUE(stream->Write("end", 3));
    ASSERT_EQ(stream->GetSize(), 5003);
    Bytes expected(5003, 0);
    std::memcpy(expected.data(), "xy", 2);
    std::memcpy(expected.data() + 5000, "end", 3);
    EXPECT_EQ(BytesOf(stream.Get()), expected);

    // Bytes cut off by SetSize must not come back when a later write skips
    // over them.
    TIntrusivePointer<IStream> reused = Make(0);
    reused->Write("secret", 6);
    reused->SetSize(0);
    reused->Seek(4);
    reused->Write("!", 1);
    EXPECT_EQ(BytesOf(reused.Get()), (Bytes{0, 0, 0, 0, '!'}));

    EXPECT_FALSE(reused->Write("x", -1));
    reused->Seek(-3);
    EXPECT_FALSE(reused->Write("x", 1));
}

TEST(Stream, EveryTypedValueRoundTripsLittleEndian)
{
    const auto beef = RoundTrip(&IStream::WriteUInt16, &IStream::ReadUInt16, uint16_t(0xBEEF));
    EXPECT_EQ(BytesOf(beef.Get()), (Bytes{0xEF, 0xBE}));
    RoundTrip(&IStream::WriteInt8, &IStream::ReadInt8, int8_t(-5));
    RoundTrip(&IStream::WriteUInt8, &IStream::ReadUInt8, uint8_t(250));
    RoundTrip(&IStream::WriteInt16, &IStream::ReadInt16, int16_t(-1234));
    RoundTrip(&IStream::WriteInt32, &IStream::ReadInt32, int32_t(-123456789));
    RoundTrip(&IStream::WriteUInt32, &IStream::ReadUInt32, uint32_t(0xDEADBEEF));
    RoundTrip(&IStream::WriteInt64, &IStream::ReadInt64, int64_t(-1234567890123LL));
    RoundTrip(&IStream::WriteUInt64, &IStream::ReadUInt64, uint64_t(0x0123456789ABCDEFULL));
    RoundTrip(&IStream::WriteFloat, &IStream::ReadFloat, 3.5f);
}

TEST(Stream, ReadsNeverPassTheSize)
{
    TIntrusivePointer<IStream> stream = Make(3);
    EXPECT_EQ(stream->ReadUInt32(), 0u);
    EXPECT_TRUE(stream->HasReadFailed());
    EXPECT_EQ(stream->Tell(), 0) << "a refused read copies nothing and does not move";

    stream->ClearReadFailure();
    EXPECT_FALSE(stream->HasReadFailed());
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

TEST(Stream, TextsRoundTripInAllThreeFormsWithLengthFieldsAndNoTerminator)
{
    TIntrusivePointer<IStream> layout = Make(-1);
    layout->WriteUnicodeString(L"ab");
    layout->WriteAnsiString("hi");
    layout->WriteShortAnsiString("yo");
    EXPECT_EQ(BytesOf(layout.Get()), (Bytes{2, 0, 0, 0, 'a', 0, 'b', 0, 2, 0, 0, 0, 'h', 'i', 2, 'y', 'o'}));

    TIntrusivePointer<IStream> stream = Make(-1);
    stream->WriteAnsiString("narrow text");
    stream->WriteUnicodeString(L"wide \x4e2d\x6587");
    stream->WriteShortAnsiString("\xc4\xe3\xba\xc3"); // 你好 in code page 936
    stream->WriteAnsiString("");
    stream->Seek(0);
    EXPECT_STREQ(stream->ReadAnsiString()->GetUtf16(), L"narrow text");
    EXPECT_STREQ(stream->ReadUnicodeString()->GetUtf16(), L"wide \x4e2d\x6587");
    EXPECT_STREQ(stream->ReadShortAnsiString()->GetUtf16(), L"\x4f60\x597d");
    EXPECT_STREQ(stream->ReadAnsiString()->GetUtf16(), L"");
    EXPECT_EQ(stream->Tell(), stream->GetSize());
}

TEST(Stream, ShortTextsAreClampedTo255BytesNotCutModulo256)
{
    TIntrusivePointer<IStream> stream = Make(-1);
    stream->WriteShortAnsiString(std::string(300, 'q').c_str());
    EXPECT_TRUE(stream->GetSize() == 256 && stream->GetData()[0] == 255);

    // A double-byte character that would straddle the limit is left out whole.
    TIntrusivePointer<IStream> chinese = Make(-1);
    chinese->WriteShortAnsiString((std::string(254, 'a') + "\xc4\xe3").c_str());
    EXPECT_EQ(chinese->GetData()[0], 254);
    chinese->Seek(0);
    EXPECT_EQ(std::wstring(chinese->ReadShortAnsiString()->GetUtf16()), std::wstring(254, L'a'));
}

TEST(Stream, OverlongOrTruncatedTextsAreRefusedWithoutMoving)
{
    TIntrusivePointer<IStream> stream = Make(-1);
    stream->WriteUInt32(10000);
    stream->Write(std::string(10000, 'z').data(), 10000);
    stream->Seek(0);
    EXPECT_TRUE(stream->ReadAnsiString().IsNull() && stream->HasReadFailed());
    EXPECT_EQ(stream->Tell(), 0);

    stream->WriteAnsiString(std::string(9999, 'z').c_str());
    stream->Seek(0);
    EXPECT_EQ(std::wstring(stream->ReadAnsiString()->GetUtf16()).size(), 9999u);

    stream->SetSize(0); // a text cut short by the end of the data
    stream->WriteUInt32(5);
    stream->Write(L"ab", 4);
    stream->Seek(0);
    EXPECT_TRUE(stream->ReadUnicodeString().IsNull());
    EXPECT_EQ(stream->Tell(), 0);
}

TEST(Compress, BlobsRoundTripAndDamagedOnesGiveNothing)
{
    ICompress* compress = ICompress_GetInstance();
    std::mt19937 random(42);
    Bytes large(10 * 1024 * 1024);
    for (uint8_t& b : large)
        b = static_cast<uint8_t>(random());
    for (const Bytes& data : {Bytes(), Bytes(5000, 'w'), large}) {
        TIntrusivePointer<IStream> blob = compress->Compress(data.data(), static_cast<uint32_t>(data.size()));
        ASSERT_FALSE(blob.IsNull());
        TIntrusivePointer<IStream> back = compress->Uncompress(blob->GetData(), blob->GetSize());
        ASSERT_FALSE(back.IsNull());
        EXPECT_TRUE(back->Tell() == 0 && BytesOf(back.Get()) == data) << data.size() << " bytes";
    }

    const Bytes bytes = BytesOf(compress->Compress(std::string(5000, 'w').data(), 5000).Get());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{0x88, 0x13, 0, 0, 0x78, 0x9C}));
    auto refused = [compress](const Bytes& damaged, size_t size) {
        return compress->Uncompress(damaged.data(), static_cast<uint32_t>(size)).IsNull();
    };
    EXPECT_TRUE(refused(bytes, 3)) << "shorter than the size field";
    EXPECT_TRUE(compress->Uncompress(nullptr, 10).IsNull());
    EXPECT_TRUE(refused(bytes, bytes.size() - 5)) << "cut";

    // Overstated and understated sizes; sizes no zlib stream of this length
    // can hold are refused before any buffer is made for them.
    for (uint32_t size : {5001u, 4999u, 0x7FFFFFF0u, 0xFFFFFFFFu}) {
        Bytes damaged = bytes;
        std::memcpy(damaged.data(), &size, 4);
        EXPECT_TRUE(refused(damaged, bytes.size())) << size;
    }
    Bytes scribbled = bytes;
    for (size_t i = 6; i < scribbled.size(); ++i)
        scribbled[i] ^= 0x55;
    EXPECT_TRUE(refused(scribbled, bytes.size()));
}
