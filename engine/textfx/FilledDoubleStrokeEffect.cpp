#include "engine/textfx/FilledDoubleStrokeEffect.h"

namespace TextFx {

void FilledDoubleStrokeEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                                    int innerThickness, int outerThickness)
{
    m_fill.UseColor(textColor);
    SetBands(innerColor, outerColor, innerThickness, outerThickness);
}

bool FilledDoubleStrokeEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor,
                                    Gdiplus::ARGB outerColor, int innerThickness, int outerThickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetBands(innerColor, outerColor, innerThickness, outerThickness);
    return true;
}

void FilledDoubleStrokeEffect::SetBands(Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness,
                                        int outerThickness)
{
    m_innerColor = innerColor;
    m_outerColor = outerColor;
    m_innerThickness = innerThickness;
    m_outerThickness = outerThickness;
}

} // namespace TextFx
