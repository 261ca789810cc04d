#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// Writes pieces of rich-text markup; pieces join by plain concatenation into
// what a rich output box takes. Every value written into an attribute (texts,
// names, tags, URLs, file names, font names, expression values) loses its
// double quotes: the markup has no escape for one, and a quote would end the
// value and let the rest write attributes of its own. Null texts count as
// empty ones.
class RV_API IRichTextFormater
{
public:
    using StringPointer = Common::TIntrusivePointer<Common::IString>;

    // "<NewLine/>" without a line feed; every other piece ends with one.
    virtual StringPointer FormatNewLine() = 0;
    virtual StringPointer FormatText(const wchar_t* text) = 0;
    virtual StringPointer FormatTextButton(const wchar_t* name, const wchar_t* tag, const wchar_t* text) = 0;
    virtual StringPointer FormatHyperLink(const wchar_t* name, const wchar_t* tag, const wchar_t* text,
                                          const wchar_t* url) = 0;
    virtual StringPointer FormatImage(const wchar_t* name, const wchar_t* tag, const wchar_t* filename) = 0;
    virtual StringPointer FormatExpression(const wchar_t* expression) = 0;
    // "{n}" segments become expressions, the rest text.
    virtual StringPointer FormatMixedText(const wchar_t* text) = 0;
    // Chat codes "/:nn" with nn from 01 to 20 become expressions.
    virtual StringPointer FormatChatText(const wchar_t* text) = 0;
    // Always the empty text.
    virtual StringPointer FormatEmpty(const wchar_t* first, const wchar_t* second, const wchar_t* third) = 0;
    // "{<...>}" segments pass through as markup; other brace segments show as
    // text, braces included.
    virtual StringPointer FormatMarkupText(const wchar_t* text) = 0;
    virtual StringPointer FormatFontColor(const wchar_t* innerMarkup, tagColor color) = 0;
    virtual StringPointer FormatFontName(const wchar_t* innerMarkup, const wchar_t* fontName) = 0;
    // Codes "/:nn" whose number is among the allowed ones become expressions.
    virtual StringPointer FormatCodedText(const wchar_t* text, const int32_t* allowedCodes, int32_t count) = 0;

protected:
    ~IRichTextFormater() = default;
};

// One object for the process, made at the first call.
RV_API IRichTextFormater* IRichTextFormater_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
