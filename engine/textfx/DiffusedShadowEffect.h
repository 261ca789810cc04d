#pragma once

#include "engine/textfx/FilledStrokeEffect.h"

namespace TextFx {

// A soft band around the letters: the outline colour is stroked at widths 1
// up to the thickness, so a translucent colour piles up next to the glyphs.
// The letters are filled once, or once per stroke so that a translucent
// fill gathers as many layers as the band next to the glyph edge.
class DiffusedShadowEffect : public FilledStrokeEffect
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness, bool singleFill);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness, bool singleFill);

    DiffusedShadowEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;

private:
    bool m_singleFill = false;
};

} // namespace TextFx
