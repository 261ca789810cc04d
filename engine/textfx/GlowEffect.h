#pragma once

#include "engine/textfx/FilledStrokeEffect.h"

namespace TextFx {

// Letters with a soft halo: the outline is stroked with pens of width 1 up
// to the thickness in the glow colour, so a translucent glow piles up next
// to the letters and thins out outwards; then the letters are filled.
class GlowEffect : public FilledStrokeEffect
{
public:
    GlowEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
};

} // namespace TextFx
