#pragma once

#include "engine/textfx/TextEffectBase.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Letters with a soft halo: the outline is stroked with pens of width 1 up
// to the thickness in the glow colour, so a translucent glow piles up next
// to the letters and thins out outwards; then the letters are filled.
class GlowEffect : public TextEffectBase
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB glowColor, int thickness);
    // The effect fills with its own copy of the brush (see TextFill).
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB glowColor, int thickness);

    GlowEffect* Clone() const override;

    const TextFill& Fill() const { return m_fill; }

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;

private:
    TextFill m_fill;
    Gdiplus::ARGB m_glowColor = 0xFF000000;
};

} // namespace TextFx
