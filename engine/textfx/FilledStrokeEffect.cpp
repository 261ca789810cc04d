#include "engine/textfx/FilledStrokeEffect.h"

namespace TextFx {

void FilledStrokeEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB strokeColor, int thickness)
{
    m_fill.UseColor(textColor);
    m_strokeColor = strokeColor;
    m_thickness = thickness;
}

bool FilledStrokeEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB strokeColor, int thickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    m_strokeColor = strokeColor;
    m_thickness = thickness;
    return true;
}

} // namespace TextFx
