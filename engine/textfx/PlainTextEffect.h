#pragma once

#include "engine/textfx/PathTextEffect.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// Letters filled, nothing stroked: the effect every UI text is drawn with.
class PlainTextEffect : public PathTextEffect
{
public:
    void Init(Gdiplus::ARGB textColor);
    bool Init(const Gdiplus::Brush* textBrush);

    PlainTextEffect* Clone() const override;

    const TextFill& Fill() const { return m_fill; }

protected:
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
    int MeasuredThickness() const override { return 0; }

private:
    TextFill m_fill;
};

} // namespace TextFx
