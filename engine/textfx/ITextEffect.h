#pragma once

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// One way of painting text: the text is turned into a path and the path is
// stroked and filled on the caller's graphics. Rectangle variants lay the
// text out in a box, point variants from an origin; the LOGFONTW variants go
// through GDI to build the outline. Every operation reports failure as false.
// Measuring writes the start of the ink (optional) and the width and height
// of the painted box in device pixels.
class ITextEffect
{
public:
    virtual ~ITextEffect() = default;

    // A new effect with the same settings; the caller owns it.
    virtual ITextEffect* Clone() const = 0;

    virtual bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                            int size, const wchar_t* text, Gdiplus::Rect box,
                            const Gdiplus::StringFormat* format) = 0;
    virtual bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                            int size, const wchar_t* text, Gdiplus::Point origin,
                            const Gdiplus::StringFormat* format) = 0;
    virtual bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Rect box) = 0;
    virtual bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Point origin) = 0;

    virtual bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                               int size, const wchar_t* text, Gdiplus::Rect box,
                               const Gdiplus::StringFormat* format, float* startX, float* startY,
                               float* width, float* height) = 0;
    virtual bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                               int size, const wchar_t* text, Gdiplus::Point origin,
                               const Gdiplus::StringFormat* format, float* startX, float* startY,
                               float* width, float* height) = 0;
    virtual bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                      Gdiplus::Rect box, float* startX, float* startY, float* width,
                                      float* height) = 0;
    virtual bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                      Gdiplus::Point origin, float* startX, float* startY, float* width,
                                      float* height) = 0;
    // The tight forms measure the bare span of the outline, without the
    // room left of and above the layout origin.
    virtual bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                           const wchar_t* text, Gdiplus::Rect box, float* startX,
                                           float* startY, float* width, float* height) = 0;
    virtual bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                           const wchar_t* text, Gdiplus::Point origin, float* startX,
                                           float* startY, float* width, float* height) = 0;
};

} // namespace TextFx
