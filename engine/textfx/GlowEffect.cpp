#include "engine/textfx/GlowEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

GlowEffect* GlowEffect::Clone() const
{
    return new GlowEffect(*this);
}

bool GlowEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    for (int width = 1; width <= m_thickness; ++width) {
        if (!StrokeTextPath(graphics, path, m_strokeColor, width))
            return false;
    }
    return m_fill.Fill(graphics, path);
}

} // namespace TextFx
