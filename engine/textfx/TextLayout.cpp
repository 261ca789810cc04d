#include "engine/textfx/TextLayout.h"

#include "engine/textfx/ITextEffect.h"
#include "engine/textfx/TextPath.h"

#include <cwchar>

namespace TextFx {

TextLayout::TextLayout(Kind kind, const wchar_t* text, const Gdiplus::Rect& box)
    : m_kind(kind), m_text(text), m_box(box)
{
}

TextLayout TextLayout::InBox(const Gdiplus::FontFamily* family, int style, int size, const wchar_t* text,
                             const Gdiplus::Rect& box, const Gdiplus::StringFormat* format)
{
    TextLayout layout(Kind::Box, text, box);
    layout.m_family = family;
    layout.m_style = style;
    layout.m_size = size;
    layout.m_format = format;
    return layout;
}

TextLayout TextLayout::AtOrigin(const Gdiplus::FontFamily* family, int style, int size, const wchar_t* text,
                                const Gdiplus::Point& origin, const Gdiplus::StringFormat* format)
{
    TextLayout layout = InBox(family, style, size, text, Gdiplus::Rect(origin.X, origin.Y, 0, 0), format);
    layout.m_kind = Kind::Origin;
    return layout;
}

TextLayout TextLayout::LogFontInBox(const LOGFONTW* font, const wchar_t* text, const Gdiplus::Rect& box)
{
    TextLayout layout(Kind::LogFontBox, text, box);
    layout.m_logFont = font;
    return layout;
}

TextLayout TextLayout::LogFontAtOrigin(const LOGFONTW* font, const wchar_t* text, const Gdiplus::Point& origin)
{
    TextLayout layout(Kind::LogFontOrigin, text, Gdiplus::Rect(origin.X, origin.Y, 0, 0));
    layout.m_logFont = font;
    return layout;
}

TextLayout TextLayout::Moved(int dx, int dy) const
{
    TextLayout moved = *this;
    moved.m_box.X += dx;
    moved.m_box.Y += dy;
    return moved;
}

bool TextLayout::BuildPath(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path) const
{
    if (m_kind == Kind::LogFontBox)
        return BuildLogFontPathInRect(graphics, path, m_text, m_logFont, m_box.X, m_box.Y, m_box.Width,
                                      m_box.Height);
    if (m_kind == Kind::LogFontOrigin)
        return BuildLogFontPath(graphics, path, m_text, m_logFont, m_box.X, m_box.Y);

    path.reset(new Gdiplus::GraphicsPath(Gdiplus::FillModeAlternate));
    if (graphics == nullptr || m_text == nullptr || m_family == nullptr || path->GetLastStatus() != Gdiplus::Ok)
        return false;
    // Wine's GDI+ refuses a missing format, which Windows takes as the
    // default one; pass the default explicitly.
    const Gdiplus::StringFormat defaultFormat;
    const Gdiplus::StringFormat* format = m_format != nullptr ? m_format : &defaultFormat;
    return path->AddString(m_text, static_cast<INT>(std::wcslen(m_text)), m_family, m_style,
                           static_cast<Gdiplus::REAL>(m_size), m_box, format) == Gdiplus::Ok;
}

bool TextLayout::DrawWith(ITextEffect& effect, Gdiplus::Graphics* graphics) const
{
    switch (m_kind) {
    case Kind::Box:
        return effect.DrawString(graphics, m_family, m_style, m_size, m_text, m_box, m_format);
    case Kind::Origin:
        return effect.DrawString(graphics, m_family, m_style, m_size, m_text, Origin(), m_format);
    case Kind::LogFontBox:
        return effect.DrawLogFontString(graphics, m_logFont, m_text, m_box);
    case Kind::LogFontOrigin:
        return effect.DrawLogFontString(graphics, m_logFont, m_text, Origin());
    }
    return false;
}

bool TextLayout::MeasureWith(ITextEffect& effect, Gdiplus::Graphics* graphics, bool tight, float* startX,
                             float* startY, float* width, float* height) const
{
    switch (m_kind) {
    case Kind::Box:
        return effect.MeasureString(graphics, m_family, m_style, m_size, m_text, m_box, m_format, startX, startY,
                                    width, height);
    case Kind::Origin:
        return effect.MeasureString(graphics, m_family, m_style, m_size, m_text, Origin(), m_format, startX,
                                    startY, width, height);
    case Kind::LogFontBox:
        return tight ? effect.MeasureLogFontStringTight(graphics, m_logFont, m_text, m_box, startX, startY, width,
                                                        height)
                     : effect.MeasureLogFontString(graphics, m_logFont, m_text, m_box, startX, startY, width,
                                                   height);
    case Kind::LogFontOrigin:
        return tight ? effect.MeasureLogFontStringTight(graphics, m_logFont, m_text, Origin(), startX, startY,
                                                        width, height)
                     : effect.MeasureLogFontString(graphics, m_logFont, m_text, Origin(), startX, startY, width,
                                                   height);
    }
    return false;
}

} // namespace TextFx
