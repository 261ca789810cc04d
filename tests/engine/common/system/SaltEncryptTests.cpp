#include "tests/support/LogCapture.h"

#include "engine/common/base/IDigest.h"
#include "engine/common/system/SaltFunctions.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

std::wstring Md5(const std::string& bytes)
{
    return IDigest_GetInstance()->MD5String(bytes.data(), static_cast<uint32_t>(bytes.size()))->GetUtf16();
}
std::wstring Salted(const char* text, const char* salt) { return SaltEncrypt(text, salt)->GetUtf16(); }

} // namespace

TEST(SaltEncrypt, SaltReplacesFixedPositionsOfTheText)
{
    // Known MD5 values pin the digest form itself.
    EXPECT_EQ(Salted("abc", "SALTsalt"), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Salted("", "SALTsalt"), L"d41d8cd98f00b204e9800998ecf8427e");
    // 14 bytes: the first half of the salt lands at 11-14, the text ends there.
    EXPECT_EQ(Salted("0123456789ABCD", "SALTsalt"), Md5("0123456789ASALT"));
    // 40 bytes: only the first 32 count, with both salt halves in place.
    EXPECT_EQ(Salted("0123456789abcdefghijklmnopqrstuvwxyzABCD", "SALTsalt"), Md5("0123456789aSALTfghijsaltopqrstuv"));
    RVTest::LogCapture log;
    EXPECT_EQ(Salted("password-text", "short"), L"");
    EXPECT_EQ(Salted(nullptr, "SALTsalt"), L"");
    EXPECT_EQ(Salted("password-text", nullptr), L"");
    EXPECT_EQ(RVTest::LogCapture::Lines().size(), 3u);
}
