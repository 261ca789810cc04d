#pragma once

#include "engine/directui/services/IRichTextFormater.h"

namespace RVGameEngine {
namespace DirectUI {

// Pieces are built as strings of any length.
class RV_API CRichTextFormater : public IRichTextFormater
{
public:
    CRichTextFormater() = default;
    CRichTextFormater(const CRichTextFormater&) = delete;
    CRichTextFormater& operator=(const CRichTextFormater&) = delete;

    StringPointer FormatNewLine() override;
    StringPointer FormatText(const wchar_t* text) override;
    StringPointer FormatTextButton(const wchar_t* name, const wchar_t* tag, const wchar_t* text) override;
    StringPointer FormatHyperLink(const wchar_t* name, const wchar_t* tag, const wchar_t* text,
                                  const wchar_t* url) override;
    StringPointer FormatImage(const wchar_t* name, const wchar_t* tag, const wchar_t* filename) override;
    StringPointer FormatExpression(const wchar_t* expression) override;
    StringPointer FormatMixedText(const wchar_t* text) override;
    StringPointer FormatChatText(const wchar_t* text) override;
    StringPointer FormatEmpty(const wchar_t* first, const wchar_t* second, const wchar_t* third) override;
    StringPointer FormatMarkupText(const wchar_t* text) override;
    StringPointer FormatFontColor(const wchar_t* innerMarkup, tagColor color) override;
    StringPointer FormatFontName(const wchar_t* innerMarkup, const wchar_t* fontName) override;
    StringPointer FormatCodedText(const wchar_t* text, const int32_t* allowedCodes, int32_t count) override;
};

} // namespace DirectUI
} // namespace RVGameEngine
