#include "engine/textfx/ExtrudeEffect.h"

#include "engine/textfx/PathPainting.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace TextFx {

void ExtrudeEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int outlineThickness, int offsetX,
                         int offsetY)
{
    m_fill.UseColor(textColor);
    SetBody(outlineColor, outlineThickness, offsetX, offsetY);
}

bool ExtrudeEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int outlineThickness,
                         int offsetX, int offsetY)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetBody(outlineColor, outlineThickness, offsetX, offsetY);
    return true;
}

void ExtrudeEffect::SetBody(Gdiplus::ARGB outlineColor, int outlineThickness, int offsetX, int offsetY)
{
    m_outlineColor = outlineColor;
    m_outlineThickness = outlineThickness;
    m_offsetX = offsetX;
    m_offsetY = offsetY;
}

ExtrudeEffect* ExtrudeEffect::Clone() const
{
    return new ExtrudeEffect(*this);
}

int ExtrudeEffect::CopyCount() const
{
    const int64_t x = std::llabs(static_cast<int64_t>(m_offsetX));
    const int64_t y = std::llabs(static_cast<int64_t>(m_offsetY));
    return static_cast<int>(x < y ? x : y);
}

Gdiplus::Point ExtrudeEffect::CopyShift(int index) const
{
    const int count = CopyCount();
    if (count == 0)
        return Gdiplus::Point(0, 0);
    // 64-bit products: offset times index must not overflow; the division
    // truncates toward zero as in integer arithmetic.
    const int64_t dx = -static_cast<int64_t>(m_offsetX) * index / count;
    const int64_t dy = -static_cast<int64_t>(m_offsetY) * index / count;
    return Gdiplus::Point(static_cast<INT>(dx), static_cast<INT>(dy));
}

bool ExtrudeEffect::DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout)
{
    if (graphics == nullptr)
        return false;
    const int count = CopyCount();
    for (int i = 0; i < count; ++i) {
        const Gdiplus::Point shift = CopyShift(i);
        std::unique_ptr<Gdiplus::GraphicsPath> path;
        if (!layout.Moved(shift.X, shift.Y).BuildPath(graphics, path) || !PaintPath(graphics, path.get()))
            return false;
    }
    return true;
}

bool ExtrudeEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return StrokeTextPath(graphics, path, m_outlineColor, m_outlineThickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
