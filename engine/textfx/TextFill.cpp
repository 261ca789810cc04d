#include "engine/textfx/TextFill.h"

#include "engine/textfx/PathPainting.h"

namespace TextFx {

void TextFill::UseColor(Gdiplus::ARGB color)
{
    m_color = color;
    m_useColor = true;
}

bool TextFill::UseBrush(const Gdiplus::Brush* brush)
{
    if (brush == nullptr)
        return false;
    std::shared_ptr<const Gdiplus::Brush> copy(brush->Clone());
    if (copy == nullptr || copy->GetLastStatus() != Gdiplus::Ok)
        return false;
    m_brush = std::move(copy);
    m_useColor = false;
    return true;
}

bool TextFill::Fill(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) const
{
    if (m_useColor)
        return FillTextPath(graphics, path, m_color);
    return m_brush != nullptr && graphics->FillPath(m_brush.get(), path) == Gdiplus::Ok;
}

} // namespace TextFx
