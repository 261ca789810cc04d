#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/CGlyphSizeCache.h"
#include "engine/directui/controls/IRichOutputBox.h"
#include "engine/directui/controls/tagRichTextParagraph.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <string>
#include <utility>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class RV_API CRichOutputBox : public CUIWindow, public IRichOutputBox
{
public:
    // The box repaints an animated picture this often.
    static constexpr int32_t kAnimationRepaintMs = 41;
    // Opens a hyperlink that no handler took; only web addresses reach it.
    using LinkOpener = void (*)(const wchar_t* url);

    CRichOutputBox();
    ~CRichOutputBox() override;

    // IRichOutputBox
    void AppendText(const wchar_t* markup) override;
    void Clear() override;
    void SetLineGap(int32_t pixels) override;
    int32_t GetLineGap() override;
    void SetParagraphGap(int32_t pixels) override;
    int32_t GetParagraphGap() override;
    int32_t GetContentHeight() override;
    int32_t GetViewHeight() override;
    void SetScrollOffset(int32_t pixels) override;
    int32_t GetScrollOffset() override;
    Common::TIntrusivePointer<Common::IString> GetPlainText() override;
    Common::TIntrusivePointer<Common::IString> GetLastParagraphText() override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;
    void ResetBackgroundImage() override;

    // The window's handlers
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;

    void SetLinkOpener(LinkOpener opener) { m_linkOpener = opener; }
    const std::vector<Common::TIntrusivePointer<tagRichTextParagraph>>& GetParagraphs() const
    {
        return m_paragraphs;
    }
    bool IsAnimating() const { return m_animating; }

private:
    enum enmWalkMode
    {
        WALK_MEASURE,
        WALK_PAINT,
        WALK_HIT_TEST,
        WALK_TEXT,
    };

    enum enmHitKind
    {
        HIT_NONE,
        HIT_TEXT_BUTTON,
        HIT_HYPERLINK,
        HIT_IMAGE,
    };

    void BeginWalk(tagRichTextParagraph* paragraph, enmWalkMode mode, int32_t offset);
    void Walk(Common::IXmlElement* element);
    void WalkRun(Common::IXmlElement* element, enmHitKind kind);
    void WalkItem(Common::IXmlElement* element);
    // The steps every unit and item takes, in this order.
    void BreakIfBeyondWidth(int32_t width);
    void GrowLine(int32_t height);
    bool IsPenRowShown();
    // Records the element as hit when the press lies on the unit or item.
    bool HitUnit(Common::IXmlElement* element, enmHitKind kind, int32_t width, int32_t height);
    void Advance(int32_t width);
    void BreakLine();
    int32_t ResolveExpression(Common::IXmlElement* element);
    // Gives back the expression entries this box's images took.
    void RemoveImageExpressions();
    void ForgetImageExpression(int32_t number, uint32_t stamp);
    void AppendParagraphText(tagRichTextParagraph* paragraph);
    void RunHitTest();
    void RaiseHit(Common::IXmlElement* element, enmHitKind kind);
    void OpenLink(const wchar_t* url);

    std::vector<Common::TIntrusivePointer<tagRichTextParagraph>> m_paragraphs;
    int32_t m_lineGap = 0;
    int32_t m_paragraphGap = 0;
    int32_t m_scrollOffset = 0;
    int32_t m_contentHeight = 0;

    // The walk under way.
    tagRichTextParagraph* m_walkParagraph = nullptr;
    enmWalkMode m_walkMode = WALK_MEASURE;
    int32_t m_walkStartY = 0;
    int32_t m_penX = 0;
    int32_t m_penY = 0;
    int32_t m_bottom = 0;
    int32_t m_lineHeight = 0;
    size_t m_lineIndex = 0;
    tagColor m_color{255, 255, 255, 255};
    int32_t m_font = 0;
    Common::TIntrusivePointer<Common::IXmlElement> m_hitElement;
    enmHitKind m_hitKind = HIT_NONE;

    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    int32_t m_repaintCountdown = kAnimationRepaintMs;
    bool m_animating = false;
    std::wstring m_textBuffer;
    // The expression entries made for "Image" elements of the paragraphs.
    // Number and stamp of each.
    std::vector<std::pair<int32_t, uint32_t>> m_imageExpressions;
    CGlyphSizeCache m_glyphs;
    LinkOpener m_linkOpener;
};

} // namespace DirectUI
} // namespace RVGameEngine
