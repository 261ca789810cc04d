#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IOutputBox.h"
#include "engine/directui/controls/tagOutputBoxLine.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class RV_API COutputBox : public CUIWindow, public IOutputBox
{
public:
    // An appended text is cut to this many characters, a line to kMaxLineLength.
    static constexpr size_t kMaxTextLength = 9999;
    static constexpr size_t kMaxLineLength = 999;
    static constexpr int32_t kLineGap = 3;

    // IOutputBox
    void Clear() override;
    void AppendText(const wchar_t* fontName, tagColor color, const wchar_t* text) override;
    int32_t GetContentWidth() override;
    int32_t GetContentHeight() override;
    int32_t GetViewHeight() override;
    void SetScrollOffset(int32_t pixels) override;
    int32_t GetScrollOffset() override;

    void OnPaint() override;

    const std::vector<Common::TIntrusivePointer<tagOutputBoxLine>>& GetLines() const { return m_lines; }

private:
    struct tagMeasure
    {
        int32_t width;
        int32_t height;
    };

    tagMeasure Measure(int32_t font, const std::wstring& text, size_t count);
    // How many leading characters of the text make the next line, and its height.
    size_t NextLineLength(int32_t font, const std::wstring& text, int32_t* height);
    void AddLine(const wchar_t* fontName, int32_t font, tagColor color, std::wstring text, int32_t height);

    std::vector<Common::TIntrusivePointer<tagOutputBoxLine>> m_lines;
    int32_t m_lineGap = kLineGap;
    int32_t m_scrollOffset = 0;
    int32_t m_contentWidth = 0;
    int32_t m_contentHeight = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
