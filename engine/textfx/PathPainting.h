#pragma once

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// Strokes the whole path with a pen of the colour and width (world units).
// A width of zero or less strokes nothing and succeeds: GDI+ would draw such
// a pen one pixel wide. False when the pen cannot be made or the stroke fails.
bool StrokeTextPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, Gdiplus::ARGB color, int width,
                    bool roundJoin = true);

bool FillTextPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, Gdiplus::ARGB color);

} // namespace TextFx
