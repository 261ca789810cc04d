#include "engine/textfx/GlowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void GlowEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB glowColor, int thickness)
{
    m_fill.UseColor(textColor);
    m_glowColor = glowColor;
    m_thickness = thickness;
}

bool GlowEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB glowColor, int thickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    m_glowColor = glowColor;
    m_thickness = thickness;
    return true;
}

GlowEffect* GlowEffect::Clone() const
{
    return new GlowEffect(*this);
}

bool GlowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = 1; width <= m_thickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_glowColor, width))
            return false;
    }
    return m_fill.Fill(graphics, path);
}

} // namespace TextFx
