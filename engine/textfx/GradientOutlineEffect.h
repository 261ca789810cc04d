#pragma once

#include "engine/textfx/TextEffectBase.h"
#include "engine/textfx/TextFill.h"

#include <vector>

namespace TextFx {

// An outline whose colour runs from the start colour at the glyph edge to
// the end colour at its outer edge: one pen per unit of thickness, widest
// first, each in the colour a horizontal linear gradient has at that pixel.
// Both outline colours are kept opaque.
class GradientOutlineEffect : public TextEffectBase
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness);

    GradientOutlineEffect* Clone() const override;

    // Fills colors with `thickness` opaque colours, entry i being the
    // gradient's colour at pixel i. A thickness below 1 gives an empty list;
    // false when GDI+ cannot render the gradient (the list is then empty).
    static bool CalculateGradient(Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness,
                                  std::vector<Gdiplus::ARGB>& colors);

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;

private:
    void SetOutline(Gdiplus::ARGB startColor, Gdiplus::ARGB endColor, int thickness);

    TextFill m_fill;
    Gdiplus::ARGB m_startColor = 0xFF000000;
    Gdiplus::ARGB m_endColor = 0xFF000000;
};

} // namespace TextFx
