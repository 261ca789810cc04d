#pragma once

#include "engine/textfx/PathTextEffect.h"

namespace TextFx {

// Base of the effects whose outermost stroke is one thickness wide.
class TextEffectBase : public PathTextEffect
{
protected:
    int MeasuredThickness() const override { return m_thickness; }

    int m_thickness = 2;   // page units
};

} // namespace TextFx
