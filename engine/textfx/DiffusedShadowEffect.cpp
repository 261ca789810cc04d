#include "engine/textfx/DiffusedShadowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void DiffusedShadowEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness,
                                bool singleFill)
{
    FilledStrokeEffect::Init(textColor, outlineColor, thickness);
    m_singleFill = singleFill;
}

bool DiffusedShadowEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness,
                                bool singleFill)
{
    if (!FilledStrokeEffect::Init(textBrush, outlineColor, thickness))
        return false;
    m_singleFill = singleFill;
    return true;
}

DiffusedShadowEffect* DiffusedShadowEffect::Clone() const
{
    return new DiffusedShadowEffect(*this);
}

bool DiffusedShadowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = 1; width <= m_thickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_strokeColor, width))
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
