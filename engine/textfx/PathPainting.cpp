#include "engine/textfx/PathPainting.h"

namespace TextFx {

bool StrokeTextPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, Gdiplus::ARGB color, int width,
                    bool roundJoin)
{
    if (width <= 0)
        return true;
    Gdiplus::Pen pen(Gdiplus::Color(color), static_cast<Gdiplus::REAL>(width));
    if (pen.GetLastStatus() != Gdiplus::Ok)
        return false;
    if (roundJoin && pen.SetLineJoin(Gdiplus::LineJoinRound) != Gdiplus::Ok)
        return false;
    return graphics->DrawPath(&pen, path) == Gdiplus::Ok;
}

bool FillTextPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, Gdiplus::ARGB color)
{
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    if (brush.GetLastStatus() != Gdiplus::Ok)
        return false;
    return graphics->FillPath(&brush, path) == Gdiplus::Ok;
}

} // namespace TextFx
