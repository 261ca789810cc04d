#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace TextFx {

// Outline of a text written through GDI with a LOGFONTW, as a new path with
// the winding fill rule. The path is handed out even when building fails, so
// the caller always owns what comes back.
RV_API bool BuildLogFontPath(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path,
                             const wchar_t* text, const LOGFONTW* font, int x, int y);
// The same laid out centred across a box, from its top.
RV_API bool BuildLogFontPathInRect(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path,
                                   const wchar_t* text, const LOGFONTW* font, int x, int y, int width,
                                   int height);

// Appends a path as GDI's GetPath reports it (points and PT_* type bytes).
// False when GDI+ refuses one of the figures.
RV_API bool AppendGdiPathPoints(Gdiplus::GraphicsPath* path, const POINT* points, const BYTE* types,
                                int count);

} // namespace TextFx
