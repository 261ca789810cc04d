#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace TextFx {

class ITextEffect;

// Where and in what font one text is laid out: a GDI+ font in a box or from
// an origin, or a LOGFONTW in a box or from an origin. It builds the text's
// path and calls the matching slot of an effect, so that callers that hold a
// layout need not repeat the four variants.
class TextLayout
{
public:
    static TextLayout InBox(const Gdiplus::FontFamily* family, int style, int size, const wchar_t* text,
                            const Gdiplus::Rect& box, const Gdiplus::StringFormat* format);
    static TextLayout AtOrigin(const Gdiplus::FontFamily* family, int style, int size, const wchar_t* text,
                               const Gdiplus::Point& origin, const Gdiplus::StringFormat* format);
    static TextLayout LogFontInBox(const LOGFONTW* font, const wchar_t* text, const Gdiplus::Rect& box);
    static TextLayout LogFontAtOrigin(const LOGFONTW* font, const wchar_t* text, const Gdiplus::Point& origin);

    // The same text moved by (dx, dy); a box keeps its size.
    TextLayout Moved(int dx, int dy) const;
    int X() const { return m_box.X; }
    int Y() const { return m_box.Y; }

    // A new path of the text (alternate fill for GDI+ fonts, winding for
    // GDI-built outlines); the path is handed out even on failure.
    bool BuildPath(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path) const;

    bool DrawWith(ITextEffect& effect, Gdiplus::Graphics* graphics) const;
    bool MeasureWith(ITextEffect& effect, Gdiplus::Graphics* graphics, bool tight, float* startX, float* startY,
                     float* width, float* height) const;

private:
    enum class Kind { Box, Origin, LogFontBox, LogFontOrigin };

    TextLayout(Kind kind, const wchar_t* text, const Gdiplus::Rect& box);
    Gdiplus::Point Origin() const { return Gdiplus::Point(m_box.X, m_box.Y); }

    Kind m_kind;
    const wchar_t* m_text;
    Gdiplus::Rect m_box;   // an origin is a box of no size
    const Gdiplus::FontFamily* m_family = nullptr;
    int m_style = 0;
    int m_size = 0;
    const Gdiplus::StringFormat* m_format = nullptr;
    const LOGFONTW* m_logFont = nullptr;
};

} // namespace TextFx
