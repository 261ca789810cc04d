#include "engine/directui/services/IRichTextFormater.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::DirectUI;

namespace {

std::wstring Text(const IRichTextFormater::StringPointer& piece)
{
    return piece->GetUtf16();
}

std::wstring TextPiece(const std::wstring& text)
{
    return L"<Text Text = \"" + text + L"\"/>\n";
}

std::wstring ExpressionPiece(const std::wstring& value)
{
    return L"<Expression Expression = \"" + value + L"\"/>\n";
}

struct Golden
{
    const char* name;
    std::wstring actual;
    std::wstring expected;
};

template <size_t N>
void ExpectGolden(const Golden (&cases)[N])
{
    for (const Golden& golden : cases) {
        SCOPED_TRACE(golden.name);
        EXPECT_EQ(golden.actual, golden.expected);
    }
}

} // namespace

TEST(RichTextFormater, ElementsAndScopes)
{
    IRichTextFormater* f = IRichTextFormater_GetInstance();
    const tagColor color(10, 20, 30, 255);
    const Golden cases[] = {
        {"new line", Text(f->FormatNewLine()), L"<NewLine/>"},
        {"text drops quotes", Text(f->FormatText(L"say \"hi\"")), TextPiece(L"say hi")},
        {"null text", Text(f->FormatText(nullptr)), TextPiece(L"")},
        {"text button", Text(f->FormatTextButton(L"b\"1", L"t", L"Go \"on\"")),
         L"<TextButton Name = \"b1\" Tag = \"t\" Text = \"Go on\"/>\n"},
        {"hyper link", Text(f->FormatHyperLink(L"link", L"7", L"\"Home\"", L"http://a/?q=\"x\"")),
         L"<HyperLink Name = \"link\" Tag = \"7\" Text = \"Home\" URL = \"http://a/?q=x\"/>\n"},
        {"image", Text(f->FormatImage(L"pic", L"", L"Data/a b.png")),
         L"<Image Name = \"pic\" Tag = \"\" Filename = \"Data/a b.png\"/>\n"},
        {"expression", Text(f->FormatExpression(L"05")), ExpressionPiece(L"05")},
        {"empty", Text(f->FormatEmpty(L"a", L"b", L"c")), L""},
        {"font colour", Text(f->FormatFontColor(TextPiece(L"x").c_str(), color)),
         L"<FontColor FontColor = \"255,10,20,30\">\n" + TextPiece(L"x") + L"</FontColor>\n"},
        {"font name", Text(f->FormatFontName(L"", L"\u5b8b\u4f53")),
         L"<FontName FontName = \"\u5b8b\u4f53\">\n</FontName>\n"},
    };
    ExpectGolden(cases);
}

TEST(RichTextFormater, ChatAndCodedText)
{
    IRichTextFormater* f = IRichTextFormater_GetInstance();
    const int32_t onlySeven[] = {7};
    const Golden cases[] = {
        {"allowed code then word", Text(f->FormatChatText(L"/:05hello")), ExpressionPiece(L"05") + TextPiece(L"hello")},
        {"code not allowed", Text(f->FormatChatText(L"/:21hello")), TextPiece(L"/:21hello")},
        {"letter instead of digit", Text(f->FormatChatText(L"/:5a")), TextPiece(L"/:5a")},
        {"codes between texts", Text(f->FormatChatText(L"a/:20/:01\"b\"/:1")),
         TextPiece(L"a") + ExpressionPiece(L"20") + ExpressionPiece(L"01") + TextPiece(L"b/:1")},
        {"quote inside a code", Text(f->FormatChatText(L"/:\"12")), ExpressionPiece(L"12")},
        {"only three digits read", Text(f->FormatChatText(L"/:123")), ExpressionPiece(L"12") + TextPiece(L"3")},
        {"empty", Text(f->FormatCodedText(L"", onlySeven, 1)), L""},
        {"own list", Text(f->FormatCodedText(L"/:07/:05", onlySeven, 1)),
         ExpressionPiece(L"07") + TextPiece(L"/:05")},
        {"no list", Text(f->FormatCodedText(L"/:07", nullptr, 3)), TextPiece(L"/:07")},
        {"negative count", Text(f->FormatCodedText(L"/:07", onlySeven, -1)), TextPiece(L"/:07")},
    };
    ExpectGolden(cases);
}

TEST(RichTextFormater, BraceSegments)
{
    IRichTextFormater* f = IRichTextFormater_GetInstance();
    const Golden cases[] = {
        {"mixed: braces alone", Text(f->FormatMixedText(L"{12}")), ExpressionPiece(L"12")},
        {"mixed: around text", Text(f->FormatMixedText(L"a{3}b{}{\"4\"")),
         TextPiece(L"a") + ExpressionPiece(L"3") + TextPiece(L"b") + ExpressionPiece(L"") + ExpressionPiece(L"4")},
        {"markup passes through", Text(f->FormatMarkupText(L"{<NewLine/>}")), L"<NewLine/>\n"},
        {"markup keeps quotes", Text(f->FormatMarkupText(L"x{<Text Text = \"a\"/>}y")),
         TextPiece(L"x") + L"<Text Text = \"a\"/>\n" + TextPiece(L"y")},
        {"other segment shows its braces", Text(f->FormatMarkupText(L"{ab>}c")), TextPiece(L"{ab>\n}") + TextPiece(L"c")},
        {"segment needs >}", Text(f->FormatMarkupText(L"{<a}b>}z")), L"<a}b>\n" + TextPiece(L"z")},
        {"unclosed segment runs to the end", Text(f->FormatMarkupText(L"t{<a} \"q\"")), TextPiece(L"t") + L"<a} \"q\"\n"},
        {"lone brace", Text(f->FormatMarkupText(L"{")), TextPiece(L"{\n}")},
    };
    ExpectGolden(cases);
}

// Values come from servers and players: a double quote in any of them must
// not end its attribute, or the value could add attributes of its own.
TEST(RichTextFormater, NoValueCanEndItsAttributeEarly)
{
    IRichTextFormater* f = IRichTextFormater_GetInstance();
    const wchar_t* hostile = L"x\" Evil = \"y";
    const struct
    {
        const char* what;
        IRichTextFormater::StringPointer piece;
        const wchar_t* attribute;
    } rows[] = {
        {"button name", f->FormatTextButton(hostile, L"t", L"go"), L"Name"},
        {"button tag", f->FormatTextButton(L"n", hostile, L"go"), L"Tag"},
        {"link name", f->FormatHyperLink(hostile, L"t", L"go", L"http://a/"), L"Name"},
        {"link address", f->FormatHyperLink(L"n", L"t", L"go", hostile), L"URL"},
        {"image file", f->FormatImage(L"n", L"t", hostile), L"Filename"},
        {"image tag", f->FormatImage(L"n", hostile, L"a.png"), L"Tag"},
        {"expression", f->FormatExpression(hostile), L"Expression"},
        {"font name", f->FormatFontName(L"", hostile), L"FontName"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IXmlScript> document =
            RVGameEngine::Common::IXmlScript_Create();
        RVGameEngine::Common::IXmlElement* root = document->Parse(row.piece->GetUtf16());
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->GetChildCount(), 1);
        RVGameEngine::Common::IXmlElement* element = root->GetChild(0);
        EXPECT_EQ(std::wstring(element->GetAttribute(row.attribute)), L"x Evil = y");
        EXPECT_FALSE(element->HasAttribute(L"Evil"));
    }
}
