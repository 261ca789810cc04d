#include "engine/textfx/OutlineEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void OutlineEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness)
{
    m_fill.UseColor(textColor);
    m_outlineColor = outlineColor;
    m_thickness = thickness;
}

bool OutlineEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    m_outlineColor = outlineColor;
    m_thickness = thickness;
    return true;
}

OutlineEffect* OutlineEffect::Clone() const
{
    return new OutlineEffect(*this);
}

bool OutlineEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return StrokeTextPath(graphics, path, m_outlineColor, m_thickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
