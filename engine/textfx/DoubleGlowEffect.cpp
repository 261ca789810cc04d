#include "engine/textfx/DoubleGlowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

DoubleGlowEffect* DoubleGlowEffect::Clone() const
{
    return new DoubleGlowEffect(*this);
}

bool DoubleGlowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = m_innerThickness; width <= m_innerThickness + m_outerThickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_outerColor, width))
            return false;
    }
    return StrokeTextPath(graphics, path, m_innerColor, m_innerThickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
