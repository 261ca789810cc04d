#include "engine/textfx/PathTextEffect.h"

#include "engine/textfx/PathMeasure.h"

#include <memory>

namespace TextFx {

bool PathTextEffect::DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout)
{
    std::unique_ptr<Gdiplus::GraphicsPath> path;
    if (!layout.BuildPath(graphics, path))
        return false;
    return PaintPath(graphics, path.get());
}

bool PathTextEffect::MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight,
                                   float* startX, float* startY, float* width, float* height)
{
    if (width == nullptr || height == nullptr)
        return false;
    std::unique_ptr<Gdiplus::GraphicsPath> path;
    if (!layout.BuildPath(graphics, path))
        return false;
    *width = static_cast<float>(layout.X());
    *height = static_cast<float>(layout.Y());
    const bool measured = tight ? MeasurePathBounds(graphics, path.get(), startX, startY, width, height)
                                : MeasurePathExtent(graphics, path.get(), startX, startY, width, height);
    if (!measured)
        return false;

    // Pens of no width are never drawn, so they add nothing to the box.
    const int thickness = MeasuredThickness();
    if (thickness <= 0)
        return true;
    float extra = 0.0f;
    if (!PageToPixels(graphics, static_cast<float>(thickness), 0.0f, nullptr, nullptr, &extra, nullptr))
        return false;
    *width += extra;
    *height += extra;
    return true;
}

} // namespace TextFx
