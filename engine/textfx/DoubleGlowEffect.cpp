#include "engine/textfx/DoubleGlowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void DoubleGlowEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                            int outlineThickness, int glowThickness)
{
    m_fill.UseColor(textColor);
    SetOutlines(outlineColor, glowColor, outlineThickness, glowThickness);
}

bool DoubleGlowEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                            int outlineThickness, int glowThickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetOutlines(outlineColor, glowColor, outlineThickness, glowThickness);
    return true;
}

void DoubleGlowEffect::SetOutlines(Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor, int outlineThickness,
                                   int glowThickness)
{
    m_outlineColor = outlineColor;
    m_glowColor = glowColor;
    m_outlineThickness = outlineThickness;
    m_glowThickness = glowThickness;
}

DoubleGlowEffect* DoubleGlowEffect::Clone() const
{
    return new DoubleGlowEffect(*this);
}

bool DoubleGlowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = m_outlineThickness; width <= m_outlineThickness + m_glowThickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_glowColor, width))
            return false;
    }
    return StrokeTextPath(graphics, path, m_outlineColor, m_outlineThickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
