#pragma once

#include "engine/textfx/TextEffectBase.h"

namespace TextFx {

// Only the glyph outlines are stroked; whatever lies below shows through the
// letters. Without rounded joins the pen keeps GDI+'s mitred corners.
class OutlineOnlyEffect : public TextEffectBase
{
public:
    void Init(Gdiplus::ARGB outlineColor, int thickness, bool roundedJoin);

    OutlineOnlyEffect* Clone() const override;

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;

private:
    Gdiplus::ARGB m_outlineColor = 0xFF000000;
    bool m_roundedJoin = false;
};

} // namespace TextFx
