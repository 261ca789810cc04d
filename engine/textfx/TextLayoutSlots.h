#pragma once

#include "engine/textfx/TextLayout.h"

namespace TextFx {

// The drawing and measuring slots that the effects and the facade share:
// each one turns its arguments into a TextLayout and hands it on, so the
// four layout variants are written once for every implementation.
template <typename Interface>
class TextLayoutSlots : public Interface
{
public:
    bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                    const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format) override
    {
        return DrawLayout(graphics, TextLayout::InBox(family, style, size, text, box, format));
    }
    bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                    const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format) override
    {
        return DrawLayout(graphics, TextLayout::AtOrigin(family, style, size, text, origin, format));
    }
    bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                           Gdiplus::Rect box) override
    {
        return DrawLayout(graphics, TextLayout::LogFontInBox(font, text, box));
    }
    bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                           Gdiplus::Point origin) override
    {
        return DrawLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin));
    }

    bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                       const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format, float* startX,
                       float* startY, float* width, float* height) override
    {
        return MeasureLayout(graphics, TextLayout::InBox(family, style, size, text, box, format), false, startX,
                             startY, width, height);
    }
    bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                       const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format,
                       float* startX, float* startY, float* width, float* height) override
    {
        return MeasureLayout(graphics, TextLayout::AtOrigin(family, style, size, text, origin, format), false,
                             startX, startY, width, height);
    }
    bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                              Gdiplus::Rect box, float* startX, float* startY, float* width,
                              float* height) override
    {
        return MeasureLayout(graphics, TextLayout::LogFontInBox(font, text, box), false, startX, startY, width,
                             height);
    }
    bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                              Gdiplus::Point origin, float* startX, float* startY, float* width,
                              float* height) override
    {
        return MeasureLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin), false, startX, startY,
                             width, height);
    }
    bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Rect box, float* startX, float* startY, float* width,
                                   float* height) override
    {
        return MeasureLayout(graphics, TextLayout::LogFontInBox(font, text, box), true, startX, startY, width,
                             height);
    }
    bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Point origin, float* startX, float* startY, float* width,
                                   float* height) override
    {
        return MeasureLayout(graphics, TextLayout::LogFontAtOrigin(font, text, origin), true, startX, startY,
                             width, height);
    }

protected:
    virtual bool DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout) = 0;
    // `tight` measures the bare span of the outline (the *Tight slots).
    virtual bool MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight, float* startX,
                               float* startY, float* width, float* height) = 0;
};

} // namespace TextFx
