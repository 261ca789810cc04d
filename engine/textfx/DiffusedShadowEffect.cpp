#include "engine/textfx/DiffusedShadowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void DiffusedShadowEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness,
                                bool singleFill)
{
    m_fill.UseColor(textColor);
    SetBand(outlineColor, thickness, singleFill);
}

bool DiffusedShadowEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness,
                                bool singleFill)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetBand(outlineColor, thickness, singleFill);
    return true;
}

void DiffusedShadowEffect::SetBand(Gdiplus::ARGB outlineColor, int thickness, bool singleFill)
{
    m_outlineColor = outlineColor;
    m_thickness = thickness;
    m_singleFill = singleFill;
}

DiffusedShadowEffect* DiffusedShadowEffect::Clone() const
{
    return new DiffusedShadowEffect(*this);
}

bool DiffusedShadowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = 1; width <= m_thickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_outlineColor, width))
            return false;
    }
    const int fills = m_singleFill ? 1 : m_thickness;
    for (int i = 0; i < fills; ++i) {
        if (!m_fill.Fill(graphics, path))
            return false;
    }
    return true;
}

} // namespace TextFx
