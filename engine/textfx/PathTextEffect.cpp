#include "engine/textfx/PathTextEffect.h"

#include "engine/textfx/PathMeasure.h"

#include <memory>

namespace TextFx {

bool PathTextEffect::DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                int size, const wchar_t* text, Gdiplus::Rect box,
                                const Gdiplus::StringFormat* format)
{
    return DrawLayout(graphics, TextLayout::InBox(family, style, size, text, box, format));
}

bool PathTextEffect::DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                int size, const wchar_t* text, Gdiplus::Point origin,
                                const Gdiplus::StringFormat* format)
{
    return DrawLayout(graphics, TextLayout::AtOrigin(family, style, size, text, origin, format));
}

bool PathTextEffect::DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                       Gdiplus::Rect box)
{
    return DrawLayout(graphics, TextLayout::LogFontInBox(font, text, box));
}

bool PathTextEffect::DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                       Gdiplus::Point origin)
{
    return DrawLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin));
}

bool PathTextEffect::MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                   int size, const wchar_t* text, Gdiplus::Rect box,
                                   const Gdiplus::StringFormat* format, float* startX, float* startY,
                                   float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::InBox(family, style, size, text, box, format), false, startX,
                         startY, width, height);
}

bool PathTextEffect::MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                   int size, const wchar_t* text, Gdiplus::Point origin,
                                   const Gdiplus::StringFormat* format, float* startX, float* startY,
                                   float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::AtOrigin(family, style, size, text, origin, format), false,
                         startX, startY, width, height);
}

bool PathTextEffect::MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                          const wchar_t* text, Gdiplus::Rect box, float* startX, float* startY,
                                          float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::LogFontInBox(font, text, box), false, startX, startY, width,
                         height);
}

bool PathTextEffect::MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                          const wchar_t* text, Gdiplus::Point origin, float* startX,
                                          float* startY, float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin), false, startX, startY, width,
                         height);
}

bool PathTextEffect::MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                               const wchar_t* text, Gdiplus::Rect box, float* startX,
                                               float* startY, float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::LogFontInBox(font, text, box), true, startX, startY, width,
                         height);
}

bool PathTextEffect::MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                               const wchar_t* text, Gdiplus::Point origin, float* startX,
                                               float* startY, float* width, float* height)
{
    return MeasureLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin), true, startX, startY, width,
                         height);
}

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
