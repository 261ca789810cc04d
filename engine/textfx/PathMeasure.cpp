#include "engine/textfx/PathMeasure.h"

#include <vector>

namespace TextFx {

namespace {

struct PointSpan
{
    float minX, minY, maxX, maxY;
};

bool ReadSpan(Gdiplus::GraphicsPath* path, PointSpan& span)
{
    const INT count = path->GetPointCount();
    if (path->GetLastStatus() != Gdiplus::Ok || count <= 0)
        return false;
    std::vector<Gdiplus::PointF> points(count);
    if (path->GetPathPoints(points.data(), count) != Gdiplus::Ok)
        return false;
    span = {points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const Gdiplus::PointF& p : points) {
        if (p.X < span.minX) span.minX = p.X;
        if (p.Y < span.minY) span.minY = p.Y;
        if (p.X > span.maxX) span.maxX = p.X;
        if (p.Y > span.maxY) span.maxY = p.Y;
    }
    return true;
}

bool FinishMeasure(Gdiplus::Graphics* graphics, const PointSpan& span, float w, float h, float* startX,
                   float* startY, float* width, float* height)
{
    if (startX != nullptr)
        *startX = span.minX;
    if (startY != nullptr)
        *startY = span.minY;
    return PageToPixels(graphics, w, h, startX, startY, width, height);
}

} // namespace

bool MeasurePathExtent(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, float* startX,
                       float* startY, float* width, float* height)
{
    PointSpan span;
    if (graphics == nullptr || path == nullptr || width == nullptr || height == nullptr || !ReadSpan(path, span))
        return false;
    const float overhangX = span.minX < 0.0f ? -span.minX : 0.0f;
    const float overhangY = span.minY < 0.0f ? -span.minY : 0.0f;
    const float w = overhangX + span.maxX - *width;
    const float h = overhangY + span.maxY - *height;
    return FinishMeasure(graphics, span, w, h, startX, startY, width, height);
}

bool MeasurePathBounds(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path, float* startX,
                       float* startY, float* width, float* height)
{
    PointSpan span;
    if (graphics == nullptr || path == nullptr || width == nullptr || height == nullptr || !ReadSpan(path, span))
        return false;
    const float w = span.maxX - span.minX - *width;
    const float h = span.maxY - span.minY - *height;
    return FinishMeasure(graphics, span, w, h, startX, startY, width, height);
}

bool PageToPixels(Gdiplus::Graphics* graphics, float x, float y, float* scaleX, float* scaleY, float* outX,
                  float* outY)
{
    if (graphics == nullptr)
        return false;
    // Failures show in the values (a unit read as UnitWorld, a resolution of
    // 0), not through GetLastStatus: that would also report, and swallow, any
    // earlier failure the caller left unread on the graphics.
    const Gdiplus::Unit unit = graphics->GetPageUnit();
    const float dpiX = graphics->GetDpiX();
    const float dpiY = graphics->GetDpiY();

    float perInch = 0.0f;
    switch (unit) {
    case Gdiplus::UnitDisplay:
    case Gdiplus::UnitPixel:
        if (outX != nullptr)
            *outX = x;
        if (outY != nullptr)
            *outY = y;
        return true;
    case Gdiplus::UnitPoint:
        perInch = 1.0f / 72.0f;
        break;
    case Gdiplus::UnitInch:
        perInch = 1.0f;
        break;
    case Gdiplus::UnitDocument:
        perInch = 1.0f / 300.0f;
        break;
    case Gdiplus::UnitMillimeter:
        perInch = 1.0f / 25.4f;
        break;
    default:
        return false;
    }
    if (!(dpiX > 0.0f && dpiY > 0.0f))
        return false;
    const float fx = dpiX * perInch;
    const float fy = dpiY * perInch;
    if (scaleX != nullptr)
        *scaleX *= fx;
    if (scaleY != nullptr)
        *scaleY *= fy;
    if (outX != nullptr)
        *outX = x * fx;
    if (outY != nullptr)
        *outY = y * fy;
    return true;
}

Gdiplus::ARGB BlendColor(Gdiplus::ARGB base, Gdiplus::ARGB second, BYTE alpha)
{
    if (alpha == 0)
        return base;
    if (alpha == 255)
        return second;
    auto mix = [alpha](Gdiplus::ARGB a, Gdiplus::ARGB b, int shift) -> Gdiplus::ARGB {
        const unsigned ca = (a >> shift) & 0xFF;
        const unsigned cb = (b >> shift) & 0xFF;
        return ((ca * (255u - alpha) + cb * alpha) >> 8) << shift;
    };
    return 0xFF000000u | mix(base, second, 16) | mix(base, second, 8) | mix(base, second, 0);
}

} // namespace TextFx
