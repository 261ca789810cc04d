#pragma once

#include "engine/textfx/PathTextEffect.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Base of the effects with two bands around the filled letters: an inner one
// on the glyph edge and an outer one beyond it; the box grows by both.
class FilledDoubleStrokeEffect : public PathTextEffect
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness,
              int outerThickness);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
              int innerThickness, int outerThickness);

protected:
    int MeasuredThickness() const override { return m_innerThickness + m_outerThickness; }

    TextFill m_fill;
    Gdiplus::ARGB m_innerColor = 0xFF000000;
    Gdiplus::ARGB m_outerColor = 0xFF000000;
    int m_innerThickness = 2;
    int m_outerThickness = 2;

private:
    void SetBands(Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness, int outerThickness);
};

} // namespace TextFx
