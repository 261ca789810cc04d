#include "engine/textfx/GradientOutlineEffect.h"

#include "engine/textfx/BitmapLock.h"
#include "engine/textfx/PathPainting.h"

namespace TextFx {

namespace {

constexpr Gdiplus::ARGB kOpaque = 0xFF000000;

bool RenderGradientRow(Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness,
                       std::vector<Gdiplus::ARGB>& colors)
{
    const Gdiplus::Rect row(0, 0, thickness, 1);
    Gdiplus::LinearGradientBrush brush(row, Gdiplus::Color(startColor), Gdiplus::Color(endColor),
                                       Gdiplus::LinearGradientModeHorizontal);
    if (brush.GetLastStatus() != Gdiplus::Ok || brush.SetWrapMode(Gdiplus::WrapModeTile) != Gdiplus::Ok)
        return false;
    Gdiplus::Bitmap bitmap(thickness, 1, PixelFormat32bppARGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return false;
    {
        Gdiplus::Graphics graphics(&bitmap);
        if (graphics.GetLastStatus() != Gdiplus::Ok ||
            graphics.FillRectangle(&brush, 0, 0, static_cast<INT>(bitmap.GetWidth()),
                                   static_cast<INT>(bitmap.GetHeight())) != Gdiplus::Ok)
            return false;
    }

    BitmapLock pixels(&bitmap, Gdiplus::ImageLockModeRead, &row);
    if (pixels.HasPixels()) {
        for (UINT y = 0; y < pixels.Height(); ++y) {
            for (UINT x = 0; x < pixels.Width(); ++x)
                colors.push_back(pixels.At(x, y) | kOpaque);
        }
    }
    return colors.size() == static_cast<size_t>(thickness);
}

} // namespace

void GradientOutlineEffect::Init(Gdiplus::ARGB textColor, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor,
                                 int thickness)
{
    m_fill.UseColor(textColor);
    SetOutline(startColor, endColor, thickness);
}

bool GradientOutlineEffect::Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB startColor,
                                 Gdiplus::ARGB endColor, int thickness)
{
    if (!m_fill.UseBrush(textBrush))
        return false;
    SetOutline(startColor, endColor, thickness);
    return true;
}

void GradientOutlineEffect::SetOutline(Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness)
{
    m_startColor = startColor | kOpaque;
    m_endColor = endColor | kOpaque;
    m_thickness = thickness;
}

GradientOutlineEffect* GradientOutlineEffect::Clone() const
{
    return new GradientOutlineEffect(*this);
}

bool GradientOutlineEffect::CalculateGradient(Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness,
                                              std::vector<Gdiplus::ARGB>& colors)
{
    colors.clear();
    // No bitmap of zero width exists: a thin outline has no colours at all.
    if (thickness < 1)
        return true;
    if (!RenderGradientRow(startColor, endColor, thickness, colors)) {
        colors.clear();
        return false;
    }
    return true;
}

bool GradientOutlineEffect::PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path)
{
    std::vector<Gdiplus::ARGB> colors;
    if (!CalculateGradient(m_startColor, m_endColor, m_thickness, colors))
        return false;
    for (int width = m_thickness; width >= 1; --width) {
        if (!StrokeTextPath(graphics, path, colors[width - 1], width))
            return false;
    }
    return m_fill.Fill(graphics, path);
}

} // namespace TextFx
