#include "engine/textfx/OutlineEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

OutlineEffect* OutlineEffect::Clone() const
{
    return new OutlineEffect(*this);
}

bool OutlineEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return StrokeTextPath(graphics, path, m_strokeColor, m_thickness) && m_fill.Fill(graphics, path);
}

} // namespace TextFx
