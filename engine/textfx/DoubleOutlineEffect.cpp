#include "engine/textfx/DoubleOutlineEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void DoubleOutlineEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                               int innerThickness, int outerThickness)
{
    m_fill.UseColor(textColor);
    SetOutlines(innerColor, outerColor, innerThickness, outerThickness);
}

bool DoubleOutlineEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor,
                               Gdiplus::ARGB outerColor, int innerThickness, int outerThickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetOutlines(innerColor, outerColor, innerThickness, outerThickness);
    return true;
}

void DoubleOutlineEffect::SetOutlines(Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness,
                                      int outerThickness)
{
    m_innerColor = innerColor;
    m_outerColor = outerColor;
    m_innerThickness = innerThickness;
    m_outerThickness = outerThickness;
}

DoubleOutlineEffect* DoubleOutlineEffect::Clone() const
{
    return new DoubleOutlineEffect(*this);
}

bool DoubleOutlineEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return StrokeTextPath(graphics, path, m_outerColor, m_innerThickness + m_outerThickness) &&
           StrokeTextPath(graphics, path, m_innerColor, m_innerThickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
