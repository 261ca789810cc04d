#include "engine/textfx/OutlineOnlyEffect.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void OutlineOnlyEffect::Init(Gdiplus::ARGB outlineColor, int thickness, bool roundedJoin)
{
    m_outlineColor = outlineColor;
    m_thickness = thickness;
    m_roundedJoin = roundedJoin;
}

OutlineOnlyEffect* OutlineOnlyEffect::Clone() const
{
    return new OutlineOnlyEffect(*this);
}

bool OutlineOnlyEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return StrokeTextPath(graphics, path, m_outlineColor, m_thickness, m_roundedJoin);
}

} // namespace TextFx
