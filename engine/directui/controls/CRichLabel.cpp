#include "engine/directui/controls/CRichLabel.h"

#include "engine/directui/services/IRichTextFormater.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

void CRichLabel::ShowTitle(const wchar_t* text, enmTitleForm form)
{
    const std::wstring title = text != nullptr ? text : L"";
    CUIWindow::SetTitle(title.c_str());
    Clear();
    IRichTextFormater* formater = IRichTextFormater_GetInstance();
    IRichTextFormater::StringPointer markup =
        form == TITLE_CHAT_CODES ? formater->FormatChatText(title.c_str()) : formater->FormatMarkupText(title.c_str());
    markup = formater->FormatFontColor(markup->GetUtf16(), GetTitleColor());
    markup = formater->FormatFontName(markup->GetUtf16(), GetTitleFont());
    AppendText(markup->GetUtf16());
}

void CRichLabel::RebuildFromTitle()
{
    const std::wstring title = GetTitle();
    if (!title.empty())
        SetTitle(title.c_str());
}

void CRichLabel::SetText(const wchar_t* text) { ShowTitle(text, TITLE_CHAT_CODES); }
void CRichLabel::SetTitle(const wchar_t* title) { ShowTitle(title, TITLE_MARKUP); }

void CRichLabel::SetTitleColor(tagColor color)
{
    CUIWindow::SetTitleColor(color);
    RebuildFromTitle();
}

void CRichLabel::SetTitleFont(const wchar_t* fontName)
{
    CUIWindow::SetTitleFont(fontName);
    RebuildFromTitle();
}

void CRichLabel::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    CUIWindow::OnLButtonDown(x, y, continueRouting);
}

int32_t CRichLabel::GetContentHeight() { return CRichOutputBox::GetContentHeight(); }
void CRichLabel::SetLineGap(int32_t pixels) { CRichOutputBox::SetLineGap(pixels); }
int32_t CRichLabel::GetLineGap() { return CRichOutputBox::GetLineGap(); }
void CRichLabel::SetParagraphGap(int32_t pixels) { CRichOutputBox::SetParagraphGap(pixels); }
int32_t CRichLabel::GetParagraphGap() { return CRichOutputBox::GetParagraphGap(); }

} // namespace DirectUI
} // namespace RVGameEngine
