#include "HelperProcess.h"

#include "engine/common/system/CCommandLine.h"
#include "engine/common/system/CParameterParser.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Common;
using Texts = std::vector<std::wstring>;

TEST(ParameterParser, SplitsTokensNamesAndValuesAndCutsOverlongOnes)
{
    TIntrusivePointer<IParameterParser> made(IParameterParser_Create());
    auto& parser = static_cast<CParameterParser&>(*made.Get());
    parser.Parse(L"\"a b\"c url=a=b =v A=1  \t ");
    parser.Parse(nullptr);
    parser.Parse(L"A=2");
    EXPECT_EQ(parser.GetTokens(), (Texts{L"a b", L"c", L"url=a=b", L"=v", L"A=1", L"A=2"}));
    EXPECT_EQ(parser.GetNames(), (Texts{L"a b", L"c", L"url", L"", L"A", L"A"}));
    EXPECT_EQ(parser.GetValues(), (Texts{L"", L"", L"a=b", L"v", L"1", L"2"}));
    // The first of a name wins; a missing one reads as empty text.
    EXPECT_STREQ(parser.GetValue(L"A")->GetUtf16(), L"1");
    EXPECT_STREQ(parser.GetValue(L"missing")->GetUtf16(), L"");
    parser.Clear();
    EXPECT_FALSE(parser.HasName(L"A"));
    EXPECT_TRUE(parser.GetTokens().empty());
    // Over-long tokens are cut at the fixed length.
    parser.Parse((L"\"" + std::wstring(1500, L'n') + L"\" k=" + std::wstring(1500, L'v')).c_str());
    ASSERT_EQ(parser.GetTokens().size(), 2u);
    EXPECT_EQ(parser.GetTokens()[0], std::wstring(CParameterParser::kMaxTokenLength, L'n'));
    EXPECT_EQ(parser.GetNames()[1], L"k");
    EXPECT_EQ(parser.GetValues()[1], std::wstring(CParameterParser::kMaxTokenLength - 2, L'v'));
}

// Every typed read keeps the value's text alive while it reads it (freed
// blocks are poisoned in the test build, so a dangling read shows).
TEST(CommandLine, TypedReadsOfAGivenLine)
{
    CCommandLine line(L"setup.exe SILENT=TRUE Off=yes Count=12 Rate=2.5");
    EXPECT_TRUE(line.GetBool(L"SILENT"));
    EXPECT_FALSE(line.GetBool(L"Off"));
    EXPECT_EQ(line.GetInt(L"Count"), 12);
    EXPECT_FLOAT_EQ(line.GetFloat(L"Rate"), 2.5f);
}

// The helper reports its own command line as tokens, then each asked name's
// string|present|int|float|bool.
TEST(CommandLine, ReadsTheRealCommandLineOfAProcess)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"options"}, {L"RV_HELPER_OUT", out},
                                                {L"RV_HELPER_NAMES", L"SILENT|silent|PartnerID|Count|Rate|Off|Missing"}});
    EXPECT_EQ(SystemTests::RunHelper(L"\"" + SystemTests::HelperPath() +
                                     L"\" SILENT=TRUE PartnerID=\"Big Shop\" \"\" Count=12abc Rate=2.5 Off=yes "
                                     L"\"un closed"),
              0);
    const Texts expected = {L"token:" + SystemTests::HelperPath(), L"token:SILENT=TRUE", L"token:PartnerID=Big Shop",
                            L"token:", L"token:Count=12abc", L"token:Rate=2.5", L"token:Off=yes", L"token:un closed",
                            L"option:SILENT|TRUE|1|0|0|1", L"option:silent||0|0|0|0",
                            L"option:PartnerID|Big Shop|1|0|0|0", L"option:Count|12abc|1|12|12|0",
                            L"option:Rate|2.5|1|2|2.5|0", L"option:Off|yes|1|0|0|0", L"option:Missing||0|0|0|0"};
    EXPECT_EQ(SystemTests::ReadReport(out), expected);
}
