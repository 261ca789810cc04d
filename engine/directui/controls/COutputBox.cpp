#include "engine/directui/controls/COutputBox.h"

#include <algorithm>

namespace RVGameEngine {
namespace DirectUI {

void COutputBox::Clear()
{
    m_lines.clear();
    m_scrollOffset = 0;
    m_contentWidth = 0;
    m_contentHeight = 0;
    Invalidate();
}

COutputBox::tagMeasure COutputBox::Measure(int32_t font, const std::wstring& text, size_t count)
{
    tagMeasure size{0, 0};
    if (GetDriver() != nullptr)
        GetDriver()->MeasureText(font, text.substr(0, count).c_str(), &size.width, &size.height);
    return size;
}

// The longest prefix that fits the width, found by halving (a prefix is never
// narrower than a shorter one). A first character wider than the box still
// makes a line of its own, so every line takes at least one character.
size_t COutputBox::NextLineLength(int32_t font, const std::wstring& text, int32_t* height)
{
    const tagMeasure whole = Measure(font, text, text.size());
    if (whole.width <= GetWidth() && text.size() <= kMaxLineLength) {
        m_contentWidth = std::max(m_contentWidth, whole.width);
        *height = whole.height;
        return text.size();
    }
    size_t fits = 0, tooLong = std::min(text.size(), kMaxLineLength + 1);
    while (tooLong - fits > 1) {
        const size_t middle = fits + (tooLong - fits) / 2;
        if (Measure(font, text, middle).width <= GetWidth())
            fits = middle;
        else
            tooLong = middle;
    }
    const size_t length = std::max<size_t>(std::min(fits, kMaxLineLength), 1);
    m_contentWidth = std::max(m_contentWidth, Measure(font, text, length).width);
    // The height is that of the prefix one character too long, as measured
    // when the line was found not to fit.
    *height = Measure(font, text, std::min(length + 1, text.size())).height;
    return length;
}

void COutputBox::AddLine(const wchar_t* fontName, int32_t font, tagColor color, std::wstring text, int32_t height)
{
    Common::TIntrusivePointer<tagOutputBoxLine> line(new tagOutputBoxLine());
    line->y = m_contentHeight;
    line->height = height;
    line->fontName = fontName;
    line->font = font;
    line->color = color;
    line->text = std::move(text);
    m_lines.push_back(line);
    m_contentHeight += height + m_lineGap;
}

void COutputBox::AppendText(const wchar_t* fontName, tagColor color, const wchar_t* text)
{
    const wchar_t* name = fontName != nullptr ? fontName : L"";
    std::wstring remaining = text != nullptr ? text : L"";
    if (remaining.size() > kMaxTextLength)
        remaining.resize(kMaxTextLength);
    const int32_t font = GetDriver() != nullptr ? GetDriver()->GetFont(name) : 0;
    do {
        int32_t height = 0;
        const size_t length = NextLineLength(font, remaining, &height);
        AddLine(name, font, color, remaining.substr(0, length), height);
        remaining.erase(0, length);
    } while (!remaining.empty());
    Invalidate();
}

int32_t COutputBox::GetContentWidth() { return m_contentWidth; }
int32_t COutputBox::GetContentHeight() { return m_contentHeight; }
int32_t COutputBox::GetViewHeight() { return GetHeight(); }

void COutputBox::SetScrollOffset(int32_t pixels)
{
    m_scrollOffset = pixels;
    Invalidate();
}

int32_t COutputBox::GetScrollOffset() { return m_scrollOffset; }

void COutputBox::OnPaint()
{
    if (GetDriver() == nullptr)
        return;
    const int32_t x = GetAnchoredX(), top = GetAnchoredY();
    for (const Common::TIntrusivePointer<tagOutputBoxLine>& line : m_lines) {
        const int32_t y = top + line->y - m_scrollOffset;
        if (y >= top - (line->height + m_lineGap) && y <= top + GetHeight())
            GetDriver()->DrawText(line->font, line->text.c_str(), line->color, x, y);
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
