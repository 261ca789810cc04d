#include "HelperProcess.h"

#include "engine/common/CCommandLine.h"
#include "engine/common/CParameterParser.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine::Common;
using Tokens = std::vector<std::wstring>;

namespace {

Tokens TokensOf(const wchar_t* text)
{
    CParameterParser parser;
    parser.Parse(text);
    return parser.GetTokens();
}

// Runs the helper with the command line (after its quoted path) and returns
// its report: "token:" lines, then one "option:" line per asked name.
std::vector<std::wstring> ReportOfChild(const std::wstring& arguments, const std::wstring& names)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment(
        {{L"RV_HELPER_MODE", L"options"}, {L"RV_HELPER_OUT", out}, {L"RV_HELPER_NAMES", names}});
    EXPECT_EQ(SystemTests::RunHelper(L"\"" + SystemTests::HelperPath() + L"\" " + arguments), 0);
    return SystemTests::ReadReport(out);
}

} // namespace

TEST(ParameterParser, SplitsTokensAtBlanksOutsideQuotes)
{
    EXPECT_EQ(TokensOf(L"setup.exe SILENT=TRUE"), (Tokens{L"setup.exe", L"SILENT=TRUE"}));
    EXPECT_EQ(TokensOf(L"PartnerID=\"Big Shop\" x"), (Tokens{L"PartnerID=Big Shop", L"x"}));
    EXPECT_EQ(TokensOf(L"\"a b\"c"), (Tokens{L"a b", L"c"}));
    EXPECT_EQ(TokensOf(L"\"\""), (Tokens{L""}));
    EXPECT_EQ(TokensOf(L"  \t  "), Tokens{});
    EXPECT_EQ(TokensOf(L"a \"b c"), (Tokens{L"a", L"b c"}));
    EXPECT_EQ(TokensOf(nullptr), Tokens{});
}

TEST(ParameterParser, SplitsNamesAndValuesAtFirstEqualsSign)
{
    CParameterParser parser;
    parser.Parse(L"setup.exe SILENT=TRUE url=a=b =v");
    EXPECT_EQ(parser.GetNames(), (Tokens{L"setup.exe", L"SILENT", L"url", L""}));
    EXPECT_EQ(parser.GetValues(), (Tokens{L"", L"TRUE", L"a=b", L"v"}));
    EXPECT_TRUE(parser.HasName(L"SILENT"));
    EXPECT_FALSE(parser.HasName(L"silent"));
    EXPECT_STREQ(parser.GetValue(L"url")->GetUtf16(), L"a=b");
    TIntrusivePointer<IString> missing = parser.GetValue(L"missing");
    ASSERT_FALSE(missing.IsNull());
    EXPECT_STREQ(missing->GetUtf16(), L"");
}

TEST(ParameterParser, FirstMatchWinsAndParsesAppendUntilCleared)
{
    TIntrusivePointer<IParameterParser> parser(IParameterParser_Create());
    EXPECT_EQ(parser->GetReferenceCount(), 1);
    parser->Parse(L"A=1");
    parser->Parse(L"A=2 B=3");
    EXPECT_STREQ(parser->GetValue(L"A")->GetUtf16(), L"1");
    EXPECT_STREQ(parser->GetValue(L"B")->GetUtf16(), L"3");
    parser->Clear();
    EXPECT_FALSE(parser->HasName(L"A"));
}

TEST(ParameterParser, CutsOverlongTokensAtTheFixedLength)
{
    const std::wstring name(1500, L'n');
    const std::wstring value(1500, L'v');
    CParameterParser parser;
    parser.Parse((L"\"" + name + L"\" " + L"k=" + value).c_str());
    ASSERT_EQ(parser.GetTokens().size(), 2u);
    EXPECT_EQ(parser.GetTokens()[0], std::wstring(CParameterParser::kMaxTokenLength, L'n'));
    EXPECT_EQ(parser.GetNames()[1], L"k");
    EXPECT_EQ(parser.GetValues()[1], std::wstring(CParameterParser::kMaxTokenLength - 2, L'v'));
}

TEST(CommandLine, TypedLookups)
{
    CCommandLine line(L"setup.exe SILENT=TRUE Count=12abc Rate=2.5 Off=yes");
    EXPECT_TRUE(line.HasParameter(L"SILENT"));
    EXPECT_FALSE(line.HasParameter(L"silent"));
    EXPECT_TRUE(line.GetBool(L"SILENT"));
    EXPECT_FALSE(line.GetBool(L"Off"));
    EXPECT_FALSE(line.GetBool(L"Missing"));
    EXPECT_EQ(line.GetInt(L"Count"), 12);
    EXPECT_EQ(line.GetInt(L"Missing"), 0);
    EXPECT_FLOAT_EQ(line.GetFloat(L"Rate"), 2.5f);
    EXPECT_FLOAT_EQ(line.GetFloat(L"SILENT"), 0.0f);
    EXPECT_STREQ(line.GetString(L"Missing")->GetUtf16(), L"");
}

TEST(CommandLine, ReadsTheRealCommandLineOfAProcess)
{
    const std::vector<std::wstring> report =
        ReportOfChild(L"SILENT=TRUE PartnerID=\"Big Shop\" \"\" Count=12abc Rate=2.5 \"un closed",
                      L"SILENT|silent|PartnerID|Count|Rate|Missing");
    const std::vector<std::wstring> expected = {
        L"token:" + SystemTests::HelperPath(),
        L"token:SILENT=TRUE",
        L"token:PartnerID=Big Shop",
        L"token:",
        L"token:Count=12abc",
        L"token:Rate=2.5",
        L"token:un closed",
        L"option:SILENT|TRUE|1|0|0|1",
        L"option:silent||0|0|0|0",
        L"option:PartnerID|Big Shop|1|0|0|0",
        L"option:Count|12abc|1|12|12|0",
        L"option:Rate|2.5|1|2|2.5|0",
        L"option:Missing||0|0|0|0",
    };
    EXPECT_EQ(report, expected);
}
