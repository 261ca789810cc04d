#include "LogCapture.h"

#include "engine/common/IDigest.h"
#include "engine/common/SaltFunctions.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

std::wstring Md5(const std::string& bytes)
{
    return IDigest_GetInstance()->MD5String(bytes.data(), static_cast<uint32_t>(bytes.size()))->GetUtf16();
}

} // namespace

TEST(SaltEncrypt, SaltReplacesFixedPositionsOfTheText)
{
    // Known MD5 values pin the digest form itself.
    EXPECT_STREQ(SaltEncrypt("abc", "SALTsalt")->GetUtf16(), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_STREQ(SaltEncrypt("", "SALTsalt")->GetUtf16(), L"d41d8cd98f00b204e9800998ecf8427e");

    // 14 bytes: the first half of the salt lands at 11-14, the text ends there.
    EXPECT_EQ(std::wstring(SaltEncrypt("0123456789ABCD", "SALTsalt")->GetUtf16()), Md5("0123456789ASALT"));
    // 40 bytes: only the first 32 count, with both salt halves in place.
    const std::string longText = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    EXPECT_EQ(std::wstring(SaltEncrypt(longText.c_str(), "SALTsalt")->GetUtf16()),
              Md5("0123456789aSALTfghijsaltopqrstuv"));
}

TEST(SaltEncrypt, ShortSaltOrMissingTextIsRefused)
{
    SystemTests::LogCapture log;
    EXPECT_STREQ(SaltEncrypt("password-text", "short")->GetUtf16(), L"");
    EXPECT_STREQ(SaltEncrypt(nullptr, "SALTsalt")->GetUtf16(), L"");
    EXPECT_STREQ(SaltEncrypt("password-text", nullptr)->GetUtf16(), L"");
    EXPECT_EQ(SystemTests::LogCapture::Lines().size(), 3u);
}
