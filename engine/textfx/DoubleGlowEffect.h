#pragma once

#include "engine/textfx/PathTextEffect.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// An outline with a glow behind it: the glow colour is stroked at every
// width from the outline's up to the outline's plus the glow's (fading
// outwards when translucent), then the outline, then the fill.
class DoubleGlowEffect : public PathTextEffect
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor, int outlineThickness,
              int glowThickness);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
              int outlineThickness, int glowThickness);

    DoubleGlowEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
    int MeasuredThickness() const override { return m_outlineThickness + m_glowThickness; }

private:
    void SetOutlines(Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor, int outlineThickness, int glowThickness);

    TextFill m_fill;
    Gdiplus::ARGB m_outlineColor = 0xFF000000;
    Gdiplus::ARGB m_glowColor = 0xFF000000;
    int m_outlineThickness = 2;
    int m_glowThickness = 2;
};

} // namespace TextFx
