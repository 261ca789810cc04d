#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// Box of a text path measured from the layout origin. *width and *height
// carry the origin's x and y in and the size (device pixels) out; the extent
// reaches from the origin to the far edge of the ink, widened by any ink left
// of or above zero. The start outputs (may be null) get the ink's top-left.
RV_API bool MeasurePathExtent(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, float* startX,
                              float* startY, float* width, float* height);
// The bare span of the path's points, less the preset values.
RV_API bool MeasurePathBounds(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, float* startX,
                              float* startY, float* width, float* height);

// Page units of the graphics to device pixels. scaleX and scaleY are scaled
// in place; outX and outY receive x and y converted. Any pointer may be null.
// False for world units, unknown units or a null graphics.
RV_API bool PageToPixels(Gdiplus::Graphics* graphics, float x, float y, float* scaleX, float* scaleY,
                         float* outX, float* outY);

// Mixes second into base by alpha/256 per colour channel (opaque result);
// alpha 0 gives base and 255 gives second unchanged.
RV_API Gdiplus::ARGB BlendColor(Gdiplus::ARGB base, Gdiplus::ARGB second, BYTE alpha);

} // namespace TextFx
