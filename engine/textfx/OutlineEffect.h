#pragma once

#include "engine/textfx/TextEffectBase.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Letters with one outline: a pen as wide as the thickness, centred on the
// glyph edge, then the fill over it (half of the pen shows outside).
class OutlineEffect : public TextEffectBase
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness);

    OutlineEffect* Clone() const override;

    const TextFill& Fill() const { return m_fill; }

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;

private:
    TextFill m_fill;
    Gdiplus::ARGB m_outlineColor = 0xFF000000;
};

} // namespace TextFx
