#include "engine/common/IXmlScript.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace RVGameEngine::Common;
using RVTest::LogCapture;

namespace {

std::wstring Saved(IXmlElement* element)
{
    TIntrusivePointer<IString> text = IString_Create();
    element->SaveToString(text);
    return text->GetUtf16();
}

std::wstring UnexpectedToken(int line, const wchar_t* found, const std::wstring& text, const wchar_t* expected)
{
    return L"Error (" + std::to_wstring(line) + L"): Unexpected token type:enmXmlScriptTokenType_" + found +
           L", token string:" + text + L", expected token type:enmXmlScriptTokenType_" + expected;
}

class XmlParseTest : public ::testing::Test
{
protected:
    IXmlElement* Parse(const std::wstring& text) { return m_script->Parse(text.c_str()); }

    LogCapture m_log;
    TIntrusivePointer<IXmlScript> m_script = IXmlScript_Create();
};

} // namespace

TEST_F(XmlParseTest, WriterIndentsByDepthAndClosesEmptyElements)
{
    IXmlElement* root = Parse(
        L"<Window Name=\"w\">--note\r\n<Button Name=\"b\"/><Panel><Label Text=\"x y\" Tag=\"\"/>\r\n"
        L"--deep\r\n</Panel></Window><Second/>");
    EXPECT_EQ(Saved(root),
              L"<Window Name=\"w\">\r\n"
              L"\t--note\r\n"
              L"\t<Button Name=\"b\"/>\r\n"
              L"\t<Panel>\r\n"
              L"\t\t<Label Text=\"x y\" Tag=\"\"/>\r\n"
              L"\t\t--deep\r\n"
              L"\t</Panel>\r\n"
              L"</Window>\r\n"
              L"<Second/>\r\n");
    // An element alone is written from depth 0 with its own tag.
    EXPECT_EQ(Saved(root->GetChild(0)->FindChildByName(L"Panel")),
              L"<Panel>\r\n\t<Label Text=\"x y\" Tag=\"\"/>\r\n\t--deep\r\n</Panel>\r\n");
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlParseTest, TokensFollowTheDialectsCharacterClasses)
{
    // A declaration is no more than an element named "xml" that stays open.
    IXmlElement* root = Parse(L"<?xml version=\"1.0\"?>\r\n");
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_STREQ(root->GetChild(0)->GetName(), L"xml");
    EXPECT_STREQ(root->GetChild(0)->GetAttribute(L"version"), L"1.0");

    // Values span lines and keep every character; stray characters between
    // tokens are skipped; "//" starts a comment; a comment line ended by a
    // bare LF keeps its last character.
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    LogCapture log;
    root = script->Parse(
        L"<a_1 v=\"line1\r\nline2 <x/> --\" 9w = \"2\" w=\"3\"/>\n"
        L"// slashes\n"
        L"--plain line end\n"
        L"<\u4e2db c=\"d\"/>");
    EXPECT_EQ(Saved(root),
              L"<a_1 v=\"line1\r\nline2 <x/> --\" w=\"3\"/>\r\n"
              L"-- slashes\r\n"
              L"--plain line end\r\n"
              L"<b c=\"d\"/>\r\n");
    EXPECT_TRUE(log.Messages().empty());
}

TEST_F(XmlParseTest, EmptyOrBlankTextGivesNoChildrenAndNoError)
{
    EXPECT_EQ(Parse(L"")->GetChildCount(), 0);
    EXPECT_EQ(Parse(L"  \r\n\t \n")->GetChildCount(), 0);
    EXPECT_EQ(m_script->Parse(nullptr)->GetChildCount(), 0);
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlParseTest, ParseAppendsAndLaterAttributesWin)
{
    Parse(L"<a b=\"1\" b=\"2\"/>");
    IXmlElement* root = Parse(L"<c/>");
    ASSERT_EQ(root->GetChildCount(), 2);
    EXPECT_STREQ(root->GetChild(0)->GetAttribute(L"b"), L"2");
    EXPECT_EQ(Saved(root->GetChild(0)), L"<a b=\"2\"/>\r\n");
    EXPECT_STREQ(root->GetChild(1)->GetName(), L"c");
    EXPECT_EQ(root, m_script->GetRoot());
    EXPECT_STREQ(root->GetName(), L"Root");
}

TEST_F(XmlParseTest, CommentsKeepTheirTextAndSkipTheCarriageReturn)
{
    IXmlElement* root = Parse(L"<a>\r\n--hello\r\n--\r\n<b/>\r\n</a>");
    IXmlElement* a = root->GetChild(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetChildCount(), 1);
    EXPECT_STREQ(a->GetChild(0)->GetName(), L"b");
    EXPECT_EQ(Saved(a), L"<a>\r\n\t--hello\r\n\t--\r\n\t<b/>\r\n</a>\r\n");
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlParseTest, ElementTextIsReportedOnItsLine)
{
    IXmlElement* root = Parse(L"<a>\r\n<b/>\r\n  hello\r\n</a>");
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], UnexpectedToken(3, L"Identifier", L"hello", L"LeftParen1"));
    // What was read before the error stays.
    ASSERT_GE(root->GetChildCount(), 1);
    EXPECT_STREQ(root->GetChild(0)->GetName(), L"a");
    EXPECT_STREQ(root->GetChild(0)->GetChild(0)->GetName(), L"b");
}

TEST_F(XmlParseTest, MarkupCommentIsReportedOnItsLine)
{
    Parse(L"<a>\r\n<!-- note -->\r\n</a>");
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], L"Error (2): Unexpected token type:UnknownTokenType, token string: note -->, "
                                   L"expected token type:enmXmlScriptTokenType_Identifier");
}

TEST_F(XmlParseTest, MalformedInputIsReportedOnceWithItsLine)
{
    Parse(L"<a>\r\n\r\n<b x=1/>\r\n</a>");
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], UnexpectedToken(3, L"DivideRightParen1", L"", L"String"));
    // Later errors of the same document object are not logged.
    Parse(L"<c>text</c>");
    Parse(L"--\n<d/>");
    EXPECT_EQ(m_log.Messages().size(), 1u);
}

TEST_F(XmlParseTest, BareDashesBeforeALineFeedAreAnError)
{
    IXmlElement* root = Parse(L"<a/>\n--\n<b/>\n<c/>");
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], UnexpectedToken(2, L"Unknown", L"", L"LeftParen1"));
    EXPECT_STREQ(root->GetChild(0)->GetName(), L"a");
    EXPECT_STREQ(root->FindChildByName(L"c")->GetName(), L"c");
}

TEST_F(XmlParseTest, UnterminatedInputEndsCleanly)
{
    const wchar_t* const texts[] = {
        L"<a x=\"abc", L"<a x=\"", L"<a x=", L"<a x", L"<a", L"<", L"<abc", L"</", L"/", L"-", L"--no line end",
        L"<a><b><c>", L"<a>\r\n<b x=\"1\">\r\n", L"\"", L"=", L">", L"<a/><", L"<a x=\"1\" y",
    };
    for (const wchar_t* text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        script->Parse(text);
        Saved(script->GetRoot());
    }
    // The opened elements are kept, and the cut value is not invented.
    LogCapture log;
    IXmlElement* root = Parse(L"<a>\r\n<b x=\"1\"> <c y=\"never closed");
    ASSERT_EQ(root->GetChildCount(), 1);
    IXmlElement* c = root->GetChild(0)->GetChild(0)->GetChild(0);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->GetAttribute(L"y"), L"");
    ASSERT_EQ(log.Messages().size(), 1u);
    EXPECT_EQ(log.Messages()[0], UnexpectedToken(2, L"Eof", L"", L"String"));
}

TEST_F(XmlParseTest, TheEndMarkerUnitEndsTheText)
{
    IXmlElement* root = Parse(std::wstring(L"<a/>\uFFFF<b/>"));
    EXPECT_EQ(root->GetChildCount(), 1);
    root = Parse(std::wstring(L"<c x=\"1\uFFFF\"/><d/>"));
    EXPECT_EQ(root->GetChildCount(), 2);
}

TEST_F(XmlParseTest, TokensUpToTheLimitAreRead)
{
    const std::wstring name = L"n" + std::wstring(998, L'x');
    const std::wstring value(999, L'v');
    const std::wstring comment(999, L'c');
    IXmlElement* root = Parse(L"--" + comment + L"\r\n<" + name + L" a=\"" + value + L"\"/>");
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_EQ(std::wstring(root->GetChild(0)->GetName()), name);
    EXPECT_EQ(std::wstring(root->GetChild(0)->GetAttribute(L"a")), value);
    EXPECT_EQ(Saved(root).substr(0, 1003), L"--" + comment + L"\r\n");
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlParseTest, AnOverlongTokenEndsTheParseAndKeepsTheTree)
{
    const std::wstring longName(5000, L'b');
    const std::wstring longValue(1000, L'v');
    const std::wstring longComment(1200, L'c');
    const std::wstring cases[] = {
        L"<a/>\r\n<" + longName + L"/><c/>",
        L"<a/>\r\n<b x=\"" + longValue + L"\"/><c/>",
        L"<a/>\r\n--" + longComment + L"\r\n<c/>",
        L"<a/>\r\n<b x=\"" + std::wstring(100000, L'u'),
    };
    for (const std::wstring& text : cases) {
        LogCapture log;
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        IXmlElement* root = script->Parse(text.c_str());
        ASSERT_GE(root->GetChildCount(), 1);
        EXPECT_STREQ(root->GetChild(0)->GetName(), L"a");
        EXPECT_EQ(root->FindChildByName(L"c"), nullptr);
        ASSERT_EQ(log.Messages().size(), 1u);
        EXPECT_EQ(log.Messages()[0], L"Error (2): Token longer than 999 characters; parsing stopped");
        // The document object stays usable.
        EXPECT_NE(script->Parse(L"<d/>")->FindChildByName(L"d"), nullptr);
    }
}

TEST_F(XmlParseTest, DeepNestingIsCutAtTheDepthLimit)
{
    std::wstring text;
    for (int i = 0; i < 100000; ++i)
        text += L"<a>";
    IXmlElement* element = Parse(text);
    int depth = 0;
    while (element->GetChildCount() > 0) {
        element = element->GetChild(0);
        ++depth;
    }
    EXPECT_EQ(depth, 256);
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], L"Error (1): Elements nested deeper than 256 levels; parsing stopped");
    Saved(m_script->GetRoot());
}

TEST_F(XmlParseTest, RandomUnitsEndCleanly)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> unit(1, 0xFFFF);
    for (int round = 0; round < 200; ++round) {
        std::wstring text(static_cast<size_t>(random() % 4000), L' ');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(unit(random));
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        Saved(script->Parse(text.c_str()));
    }
}
