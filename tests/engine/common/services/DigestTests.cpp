#include "engine/common/base/CMD5.h"
#include "engine/common/base/IDigest.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

using namespace RVGameEngine::Common;

namespace {

std::string Text(const TIntrusivePointer<IString>& text)
{
    return text.IsNull() ? std::string("<null>") : std::string(text->GetAnsi());
}

std::string Md5Of(const std::string& bytes)
{
    return Text(IDigest_GetInstance()->MD5String(bytes.data(), static_cast<uint32_t>(bytes.size())));
}

const char kEmptyMd5[] = "d41d8cd98f00b204e9800998ecf8427e";

} // namespace

TEST(Digest, Md5MatchesTheRfc1321SuiteAndThePaddingEdges)
{
    // RFC 1321's suite, then 'a' runs: 55 bytes leave room for the length in
    // the same block, 56 do not; 64 fill a block exactly.
    const auto As = [](size_t count) { return std::string(count, 'a'); };
    const std::pair<std::string, const char*> cases[] = {
        {"", kEmptyMd5}, {"a", "0cc175b9c0f1b6a831c399e269772661"}, {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {As(55), "ef1772b6dff9a122358552954ad0df65"}, {As(56), "3b0c8ac703f828b04c6c197006d17218"},
        {As(64), "014842d480b571495a4a0363793f7367"}, {As(65), "c743a45e0d2e6a95cb859adae0248435"},
        {As(119), "8a7bd0732ed6a28ce75f6dabc90e1613"}, {As(120), "5f61c0ccad4cac44c75ff505e1f1e537"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Md5Of(c.first), c.second) << c.first.size() << " bytes: " << c.first.substr(0, 20);
}

TEST(Digest, Md5InPiecesEqualsMd5AtOnce)
{
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data.push_back(static_cast<char>(i * 7));
    const std::string whole = Md5Of(data);
    for (uint32_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 200u}) {
        CMD5 md5;
        for (size_t at = 0; at < data.size(); at += piece)
            md5.Update(data.data() + at, static_cast<uint32_t>(std::min<size_t>(piece, data.size() - at)));
        EXPECT_EQ(md5.HexDigest(), whole) << "pieces of " << piece;
        // Finishing twice gives the same digest; later updates are ignored.
        md5.Update("more");
        EXPECT_EQ(md5.HexDigest(), whole);
    }
}

TEST(Digest, Crc32CheckValuesRawMd5AndNullData)
{
    IDigest* digest = IDigest_GetInstance();
    EXPECT_EQ(digest->CRC32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Text(digest->CRC32String("123456789", 9)), "CBF43926");
    EXPECT_EQ(Text(digest->CRC32String("", 0)), "00000000");

    // The raw digest writes exactly sixteen bytes.
    unsigned char out[20];
    std::memset(out, 0xCC, sizeof(out));
    digest->MD5Raw("abc", 3, out + 2);
    const unsigned char expected[20] = {0xCC, 0xCC, 0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                        0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72, 0xCC, 0xCC};
    EXPECT_EQ(std::memcmp(out, expected, 20), 0);
    digest->MD5Raw("abc", 3, nullptr); // no output: nothing to do

    // Null data with a size is refused; with size 0 it is the empty input.
    EXPECT_TRUE(digest->MD5String(nullptr, 10).IsNull() && digest->CRC32String(nullptr, 10).IsNull());
    EXPECT_TRUE(digest->CRC32(nullptr, 10) == 0u && digest->MD5OfText(nullptr).IsNull());
    digest->MD5Raw(nullptr, 10, out);
    EXPECT_EQ(std::memcmp(out, std::string(16, '\0').data(), 16), 0);
    EXPECT_EQ(Text(digest->MD5String(nullptr, 0)), kEmptyMd5);
}

TEST(Digest, Md5OfTextHashesTheProgramsByteForm)
{
    IDigest* digest = IDigest_GetInstance();
    EXPECT_EQ(Text(digest->MD5OfText(L"abc")), "900150983cd24fb0d6963f7d28e17f72");
    // A single-byte character stands alone as three bytes, also as the last:
    // 'a', E0 83 A9. (The users' code page 936 has a test executable of its own.)
    if (GetACP() == 1252) {
        EXPECT_EQ(Text(digest->MD5OfText(L"a\u00e9")), "2954034c770d39c3fb4c52712b0e14a3");
    }
}
