#pragma once

#include "engine/textfx/FilledDoubleStrokeEffect.h"

namespace TextFx {

// Two outlines: the outer pen (inner plus outer thickness wide) behind the
// inner one, then the fill.
class DoubleOutlineEffect : public FilledDoubleStrokeEffect
{
public:
    DoubleOutlineEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
};

} // namespace TextFx
