#pragma once

#include "engine/textfx/TextEffectBase.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Base of the effects that stroke the outline in one colour up to one
// thickness and fill the letters over it; they differ only in the pens.
class FilledStrokeEffect : public TextEffectBase
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB strokeColor, int thickness);
    // The effect fills with its own copy of the brush (see TextFill).
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB strokeColor, int thickness);

    const TextFill& Fill() const { return m_fill; }

protected:
    TextFill m_fill;
    Gdiplus::ARGB m_strokeColor = 0xFF000000;
};

} // namespace TextFx
