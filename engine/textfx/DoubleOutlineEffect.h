#pragma once

#include "engine/textfx/PathTextEffect.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Two outlines: the outer pen (inner plus outer thickness wide) behind the
// inner one, then the fill.
class DoubleOutlineEffect : public PathTextEffect
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness,
              int outerThickness);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
              int innerThickness, int outerThickness);

    DoubleOutlineEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
    int MeasuredThickness() const override { return m_innerThickness + m_outerThickness; }

private:
    void SetOutlines(Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor, int innerThickness, int outerThickness);

    TextFill m_fill;
    Gdiplus::ARGB m_innerColor = 0xFF000000;
    Gdiplus::ARGB m_outerColor = 0xFF000000;
    int m_innerThickness = 2;
    int m_outerThickness = 2;
};

} // namespace TextFx
