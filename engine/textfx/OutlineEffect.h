#pragma once

#include "engine/textfx/FilledStrokeEffect.h"

namespace TextFx {

// Letters with one outline: a pen as wide as the thickness, centred on the
// glyph edge, then the fill over it (half of the pen shows outside).
class OutlineEffect : public FilledStrokeEffect
{
public:
    OutlineEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
};

} // namespace TextFx
