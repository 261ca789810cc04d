#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace TextFx {

// How an effect fills its letters: a plain colour or a brush.
//
// A brush handed in is copied, and the effect keeps only its private copy:
// the caller stays free to delete its own brush at any time. Copies of a
// TextFill (an effect's clones) share that private copy, which nobody
// changes and which goes when the last of them lets go, so no clone ever
// fills with a brush that was deleted under it.
class TextFill
{
public:
    void UseColor(Gdiplus::ARGB color);
    // False (and nothing changed) for a null brush or one GDI+ cannot copy.
    bool UseBrush(const Gdiplus::Brush* brush);

    bool Fill(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) const;

    Gdiplus::ARGB Color() const { return m_color; }
    bool UsesColor() const { return m_useColor; }
    const Gdiplus::Brush* HeldBrush() const { return m_brush.get(); }

private:
    Gdiplus::ARGB m_color = 0xFF000000;
    std::shared_ptr<const Gdiplus::Brush> m_brush;
    bool m_useColor = true;
};

} // namespace TextFx
