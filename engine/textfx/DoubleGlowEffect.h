#pragma once

#include "engine/textfx/FilledDoubleStrokeEffect.h"

namespace TextFx {

// An outline with a glow behind it: the glow colour is stroked at every
// width from the outline's up to the outline's plus the glow's (fading
// outwards when translucent), then the outline, then the fill. Init takes
// the outline as the inner band and the glow as the outer one.
class DoubleGlowEffect : public FilledDoubleStrokeEffect
{
public:
    DoubleGlowEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
};

} // namespace TextFx
