#include "engine/textfx/PlainTextEffect.h"

namespace TextFx {

void PlainTextEffect::Init(Gdiplus::ARGB textColor)
{
    m_fill.UseColor(textColor);
}

bool PlainTextEffect::Init(const Gdiplus::Brush* textBrush)
{
    return m_fill.UseBrush(textBrush);
}

PlainTextEffect* PlainTextEffect::Clone() const
{
    return new PlainTextEffect(*this);
}

bool PlainTextEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    return m_fill.Fill(graphics, path);
}

} // namespace TextFx
