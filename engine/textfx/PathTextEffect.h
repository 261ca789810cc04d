#pragma once

#include "engine/textfx/ITextEffect.h"
#include "engine/textfx/TextLayout.h"

namespace TextFx {

// The common frame of every effect: each drawing and measuring slot becomes
// one layout, the layout builds the text path, and the effect paints it.
// The measured box grows by the pixel width of MeasuredThickness().
class PathTextEffect : public ITextEffect
{
public:
    bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                    const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format) override;
    bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                    const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format) override;
    bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                           Gdiplus::Rect box) override;
    bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                           Gdiplus::Point origin) override;

    bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                       const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format, float* startX,
                       float* startY, float* width, float* height) override;
    bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                       const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format,
                       float* startX, float* startY, float* width, float* height) override;
    bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                              Gdiplus::Rect box, float* startX, float* startY, float* width,
                              float* height) override;
    bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                              Gdiplus::Point origin, float* startX, float* startY, float* width,
                              float* height) override;
    bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Rect box, float* startX, float* startY, float* width,
                                   float* height) override;
    bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Point origin, float* startX, float* startY, float* width,
                                   float* height) override;

protected:
    // Builds the path and paints it; an effect that draws several copies
    // replaces this.
    virtual bool DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout);
    // Strokes and fills one built path; false when any GDI+ call fails.
    virtual bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) = 0;
    // Page units by which the painted ink reaches beyond the bare outline.
    virtual int MeasuredThickness() const = 0;

private:
    bool MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight, float* startX,
                       float* startY, float* width, float* height);
};

} // namespace TextFx
