#include "engine/textfx/DoubleOutlineEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

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
