#include "tests/engine/filesystem/documents/DocumentTestSupport.h"

using namespace DocumentsTest;
using RVTest::LogCapture;

namespace {

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
        L"--deep\r\n--\r\n</Panel></Window><Second/>");
    EXPECT_EQ(Saved(root), L"<Window Name=\"w\">\r\n\t--note\r\n\t<Button Name=\"b\"/>\r\n\t<Panel>\r\n"
                           L"\t\t<Label Text=\"x y\" Tag=\"\"/>\r\n\t\t--deep\r\n\t\t--\r\n\t</Panel>\r\n"
                           L"</Window>\r\n<Second/>\r\n");
    // An element alone is written from depth 0 with its own tag.
    EXPECT_EQ(Saved(root->GetChild(0)->FindChildByName(L"Panel")),
              L"<Panel>\r\n\t<Label Text=\"x y\" Tag=\"\"/>\r\n\t--deep\r\n\t--\r\n</Panel>\r\n");
    // Parsing appends to the same root; a repeated attribute keeps the last value.
    Parse(L"<a b=\"1\" b=\"2\"/>");
    ASSERT_EQ(root->GetChildCount(), 3);
    EXPECT_EQ(Saved(root->GetChild(2)), L"<a b=\"2\"/>\r\n");
    EXPECT_EQ(root, m_script->GetRoot());
    for (const wchar_t* blank : {L"", L"  \r\n\t \n", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(IXmlScript_Create()->Parse(blank)->GetChildCount(), 0);
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlParseTest, TokensFollowTheDialectsCharacterClasses)
{
    // Values span lines and keep every character; stray characters between tokens are skipped;
    // "//" starts a comment; a comment line ended by a bare LF keeps its last character.
    IXmlElement* root =
        Parse(L"<a_1 v=\"line1\r\nline2 <x/> --\" 9w = \"2\" w=\"3\"/>\n// slashes\n--plain line end\n<\u4e2db c=\"d\"/>");
    EXPECT_EQ(Saved(root),
              L"<a_1 v=\"line1\r\nline2 <x/> --\" w=\"3\"/>\r\n-- slashes\r\n--plain line end\r\n<b c=\"d\"/>\r\n");
    EXPECT_TRUE(m_log.Messages().empty());
    // A declaration is no more than an element named "xml" that stays open.
    EXPECT_EQ(Saved(Parse(L"<?xml version=\"1.0\"?>\r\n")->GetChild(2)), L"<xml version=\"1.0\"/>\r\n");
}

TEST_F(XmlParseTest, ErrorsAreLoggedOnceWithTheirLineAndKeepWhatWasRead)
{
    const struct
    {
        const wchar_t* text;
        std::wstring message;
    } cases[] = {
        {L"<a>\r\n<b/>\r\n  hello\r\n</a>", UnexpectedToken(3, L"Identifier", L"hello", L"LeftParen1")},
        {L"<a>\r\n<!-- note -->\r\n</a>", L"Error (2): Unexpected token type:UnknownTokenType, token string: note -->, "
                                          L"expected token type:enmXmlScriptTokenType_Identifier"},
        {L"<a>\r\n\r\n<b x=1/>\r\n</a>", UnexpectedToken(3, L"DivideRightParen1", L"", L"String")},
        {L"<a/>\n--\n<b/>\n<c/>", UnexpectedToken(2, L"Unknown", L"", L"LeftParen1")},
        {L"<a>\r\n<b x=\"1\"> <c y=\"never closed", UnexpectedToken(2, L"Eof", L"", L"String")},
    };
    for (const auto& c : cases) {
        LogCapture log;
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        EXPECT_NE(script->Parse(c.text)->FindChildByName(L"a"), nullptr) << c.message;
        // Later errors of the same document object are not logged.
        script->Parse(L"<c>text</c>");
        EXPECT_EQ(log.Messages(), std::vector<std::wstring>{c.message});
    }
    // Unterminated: the opened elements are kept, and the cut value is not invented.
    EXPECT_EQ(Saved(Parse(L"<a>\r\n<b x=\"1\"> <c y=\"never closed")),
              L"<a>\r\n\t<b x=\"1\">\r\n\t\t<c y=\"\"/>\r\n\t</b>\r\n</a>\r\n");
    EXPECT_STREQ(Parse(L"<a/>\n--\n<b/>\n<c/>")->FindChildByName(L"c")->GetName(), L"c");
}

// Random input is the document fuzz test's job; these are the cuts at each
// point of a tag.
TEST_F(XmlParseTest, UnterminatedInputEndsCleanly)
{
    for (const wchar_t* text : {L"<a x=\"abc", L"<a x=\"", L"<a x=", L"<a x", L"<a", L"<", L"<abc", L"</", L"/", L"-",
                                L"--no line end", L"<a><b><c>", L"<a>\r\n<b x=\"1\">\r\n", L"\"", L"=", L">",
                                L"<a/><", L"<a x=\"1\" y"})
        Saved(IXmlScript_Create()->Parse(text));
    // The end marker unit ends the text.
    EXPECT_EQ(IXmlScript_Create()->Parse(L"<a/>\uFFFF<b/>")->GetChildCount(), 1);
    EXPECT_EQ(IXmlScript_Create()->Parse(L"<c x=\"1\uFFFF\"/><d/>")->GetChildCount(), 1);
}

TEST_F(XmlParseTest, TokensUpToTheLimitAreReadAndLongerOnesEndTheParseKeepingTheTree)
{
    const std::wstring longest = L"--" + std::wstring(999, L'c') + L"\r\n<n" + std::wstring(998, L'x') + L" a=\"" +
                                 std::wstring(999, L'v') + L"\"/>\r\n";
    IXmlElement* root = Parse(longest);
    EXPECT_EQ(Saved(root), longest);
    EXPECT_TRUE(m_log.Messages().empty());
    const std::wstring cases[] = {
        L"<a/>\r\n<" + std::wstring(5000, L'b') + L"/><c/>",
        L"<a/>\r\n<b x=\"" + std::wstring(1000, L'v') + L"\"/><c/>",
        L"<a/>\r\n--" + std::wstring(1200, L'c') + L"\r\n<c/>",
        L"<a/>\r\n<b x=\"" + std::wstring(100000, L'u'),
    };
    for (const std::wstring& text : cases) {
        LogCapture log;
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        root = script->Parse(text.c_str());
        EXPECT_TRUE(root->FindChildByName(L"a") != nullptr && root->FindChildByName(L"c") == nullptr);
        EXPECT_EQ(log.Messages(), std::vector<std::wstring>{L"Error (2): Token longer than 999 characters; parsing stopped"});
        // The document object stays usable.
        EXPECT_NE(script->Parse(L"<d/>")->FindChildByName(L"d"), nullptr);
    }
}

TEST_F(XmlParseTest, DeepNestingIsCutAtTheDepthLimit)
{
    IXmlElement* element = Parse(Repeated(L"<a>", 100000));
    int depth = 0;
    for (; element->GetChildCount() > 0; ++depth)
        element = element->GetChild(0);
    EXPECT_EQ(depth, 256);
    EXPECT_EQ(m_log.Messages(), std::vector<std::wstring>{L"Error (1): Elements nested deeper than 256 levels; parsing stopped"});
    Saved(m_script->GetRoot());
    // Tags without names open levels too (each "<=>" drops a token and goes
    // on to the children): the limit must hold for them as well.
    LogCapture log;
    EXPECT_EQ(IXmlScript_Create()->Parse(Repeated(L"<=>>", 200000).c_str())->GetChildCount(), 0);
    EXPECT_EQ(log.Messages().back(), L"Error (1): Elements nested deeper than 256 levels; parsing stopped");
}
