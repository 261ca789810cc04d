#include "engine/directui/services/CRichTextFormater.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

namespace RVGameEngine {
namespace DirectUI {

namespace {

using Attribute = std::pair<const wchar_t*, std::wstring>;

constexpr int32_t kChatCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
// "/:" and two digits.
constexpr size_t kCodeLength = 4;

std::wstring Safe(const wchar_t* text)
{
    return text != nullptr ? std::wstring(text) : std::wstring();
}

std::wstring WithoutQuotes(std::wstring text)
{
    text.erase(std::remove(text.begin(), text.end(), L'"'), text.end());
    return text;
}

// The markup reader knows no escapes: a value's double quote would end the
// value early and let the rest (a server's address, a player's name) write
// attributes of its own. Every value loses its double quotes.
void AppendAttributes(std::wstring& piece, std::initializer_list<Attribute> attributes)
{
    for (const Attribute& attribute : attributes) {
        piece += L' ';
        piece += attribute.first;
        piece += L" = \"";
        piece += WithoutQuotes(attribute.second);
        piece += L'"';
    }
}

std::wstring Element(const wchar_t* name, std::initializer_list<Attribute> attributes)
{
    std::wstring piece = L"<";
    piece += name;
    AppendAttributes(piece, attributes);
    piece += L"/>\n";
    return piece;
}

std::wstring Scope(const wchar_t* name, const std::wstring& value, const wchar_t* innerMarkup)
{
    std::wstring piece = L"<";
    piece += name;
    AppendAttributes(piece, {{name, value}});
    piece += L">\n";
    if (innerMarkup != nullptr)
        piece += innerMarkup;
    piece += L"</";
    piece += name;
    piece += L">\n";
    return piece;
}

std::wstring TextPiece(const std::wstring& text)
{
    return Element(L"Text", {{L"Text", text}});
}

std::wstring ExpressionPiece(const std::wstring& expression)
{
    return Element(L"Expression", {{L"Expression", expression}});
}

bool IsDigit(wchar_t character)
{
    return character >= L'0' && character <= L'9';
}

bool IsAllowed(int32_t code, const int32_t* allowedCodes, int32_t count)
{
    if (allowedCodes == nullptr)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        if (allowedCodes[i] == code)
            return true;
    }
    return false;
}

bool IsCodeAt(const std::wstring& text, size_t position, const int32_t* allowedCodes, int32_t count)
{
    if (text.size() - position < kCodeLength || text[position] != L'/' || text[position + 1] != L':')
        return false;
    const wchar_t tens = text[position + 2];
    const wchar_t ones = text[position + 3];
    if (!IsDigit(tens) || !IsDigit(ones))
        return false;
    return IsAllowed((tens - L'0') * 10 + (ones - L'0'), allowedCodes, count);
}

// Where the brace segment that starts after position `open` ends: at the
// first "}" straight after a ">", or at the end of the text.
size_t MarkupSegmentEnd(const std::wstring& text, size_t open)
{
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == L'}' && text[i - 1] == L'>')
            return i;
    }
    return text.size();
}

// Text between brace segments goes out as "Text" pieces, each segment
// (without its braces) through formatSegment; segmentEnd says where the
// segment that opens at a "{" ends (its closing brace, or the end).
template <typename SegmentEnd, typename FormatSegment>
std::wstring SplitBraceSegments(const std::wstring& source, SegmentEnd segmentEnd, FormatSegment formatSegment)
{
    std::wstring pieces;
    size_t position = 0;
    while (position < source.size()) {
        if (source[position] == L'{') {
            const size_t close = segmentEnd(source, position);
            pieces += formatSegment(source.substr(position + 1, close - position - 1));
            position = close < source.size() ? close + 1 : close;
        } else {
            const size_t open = std::min(source.find(L'{', position), source.size());
            pieces += TextPiece(source.substr(position, open - position));
            position = open;
        }
    }
    return pieces;
}

Common::TIntrusivePointer<Common::IString> ToString(const std::wstring& piece)
{
    return Common::IString_Create_Utf16(piece.c_str());
}

} // namespace

IRichTextFormater::StringPointer CRichTextFormater::FormatNewLine()
{
    return ToString(L"<NewLine/>");
}

IRichTextFormater::StringPointer CRichTextFormater::FormatText(const wchar_t* text)
{
    return ToString(TextPiece(Safe(text)));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatTextButton(const wchar_t* name, const wchar_t* tag,
                                                                     const wchar_t* text)
{
    return ToString(Element(L"TextButton", {{L"Name", Safe(name)}, {L"Tag", Safe(tag)},
                                            {L"Text", Safe(text)}}));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatHyperLink(const wchar_t* name, const wchar_t* tag,
                                                                    const wchar_t* text, const wchar_t* url)
{
    return ToString(Element(L"HyperLink", {{L"Name", Safe(name)}, {L"Tag", Safe(tag)},
                                           {L"Text", Safe(text)}, {L"URL", Safe(url)}}));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatImage(const wchar_t* name, const wchar_t* tag,
                                                                const wchar_t* filename)
{
    return ToString(Element(L"Image", {{L"Name", Safe(name)}, {L"Tag", Safe(tag)}, {L"Filename", Safe(filename)}}));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatExpression(const wchar_t* expression)
{
    return ToString(ExpressionPiece(Safe(expression)));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatMixedText(const wchar_t* text)
{
    const auto nextClosingBrace = [](const std::wstring& source, size_t open) {
        return std::min(source.find(L'}', open + 1), source.size());
    };
    return ToString(SplitBraceSegments(WithoutQuotes(Safe(text)), nextClosingBrace, ExpressionPiece));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatChatText(const wchar_t* text)
{
    return FormatCodedText(text, kChatCodes, static_cast<int32_t>(sizeof kChatCodes / sizeof kChatCodes[0]));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatEmpty(const wchar_t*, const wchar_t*, const wchar_t*)
{
    return ToString(std::wstring());
}

IRichTextFormater::StringPointer CRichTextFormater::FormatMarkupText(const wchar_t* text)
{
    // A segment that starts as markup stays markup; any other keeps its
    // braces and shows as text.
    const auto markupOrText = [](const std::wstring& inside) {
        const std::wstring segment = inside + L"\n";
        return segment[0] == L'<' ? segment : TextPiece(L"{" + segment + L"}");
    };
    return ToString(SplitBraceSegments(Safe(text), MarkupSegmentEnd, markupOrText));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatFontColor(const wchar_t* innerMarkup, tagColor color)
{
    const std::wstring value = std::to_wstring(color.alpha) + L"," + std::to_wstring(color.red) + L"," +
                               std::to_wstring(color.green) + L"," + std::to_wstring(color.blue);
    return ToString(Scope(L"FontColor", value, innerMarkup));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatFontName(const wchar_t* innerMarkup,
                                                                   const wchar_t* fontName)
{
    return ToString(Scope(L"FontName", Safe(fontName), innerMarkup));
}

IRichTextFormater::StringPointer CRichTextFormater::FormatCodedText(const wchar_t* text, const int32_t* allowedCodes,
                                                                    int32_t count)
{
    const std::wstring source = WithoutQuotes(Safe(text));
    std::wstring pieces;
    size_t position = 0;
    while (position < source.size()) {
        if (IsCodeAt(source, position, allowedCodes, count)) {
            pieces += ExpressionPiece(source.substr(position + 2, 2));
            position += kCodeLength;
            continue;
        }
        size_t end = position + 1;
        while (end < source.size() && !IsCodeAt(source, end, allowedCodes, count))
            ++end;
        pieces += TextPiece(source.substr(position, end - position));
        position = end;
    }
    return ToString(pieces);
}

IRichTextFormater* IRichTextFormater_GetInstance()
{
    static CRichTextFormater instance;
    return &instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
