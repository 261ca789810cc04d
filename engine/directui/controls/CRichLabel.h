#pragma once

#include "engine/directui/controls/CRichOutputBox.h"
#include "engine/directui/controls/IRichLabel.h"

namespace RVGameEngine {
namespace DirectUI {

// A rich output box whose one paragraph is its title. Presses on its text
// buttons, links and pictures raise nothing.
class RV_API CRichLabel : public CRichOutputBox, public IRichLabel
{
public:
    // IRichLabel
    void SetText(const wchar_t* text) override;
    int32_t GetContentHeight() override;
    void SetLineGap(int32_t pixels) override;
    int32_t GetLineGap() override;
    void SetParagraphGap(int32_t pixels) override;
    int32_t GetParagraphGap() override;

    // IUIWindow: a title (markup segments in braces kept) shows as rich text.
    void SetTitle(const wchar_t* title) override;
    void SetTitleColor(tagColor color) override;
    void SetTitleFont(const wchar_t* fontName) override;

    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;

private:
    enum enmTitleForm
    {
        TITLE_CHAT_CODES,
        TITLE_MARKUP,
    };

    void ShowTitle(const wchar_t* text, enmTitleForm form);
    void RebuildFromTitle();
};

} // namespace DirectUI
} // namespace RVGameEngine
