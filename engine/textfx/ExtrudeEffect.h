#pragma once

#include "engine/textfx/PathTextEffect.h"
#include "engine/textfx/TextFill.h"

namespace TextFx {

// A solid body behind the letters: outlined and filled copies of the text,
// n of them for n the smaller of |offset x| and |offset y|. The first copy
// stands at the caller's position and each later one a step against the
// offset, on top of the earlier ones; so the front face is the last copy and
// the body trails from it toward the offset. An offset along one axis only
// draws nothing. The offset does not enter the measured box.
class ExtrudeEffect : public PathTextEffect
{
public:
    void Init(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int outlineThickness, int offsetX,
              int offsetY);
    bool Init(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int outlineThickness, int offsetX,
              int offsetY);

    ExtrudeEffect* Clone() const override;

    int CopyCount() const;
    // Shift of copy `index` from the caller's position.
    Gdiplus::Point CopyShift(int index) const;

protected:
    bool DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout) override;
    bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) override;
    int MeasuredThickness() const override { return m_outlineThickness; }

private:
    void SetBody(Gdiplus::ARGB outlineColor, int outlineThickness, int offsetX, int offsetY);

    TextFill m_fill;
    Gdiplus::ARGB m_outlineColor = 0xFF000000;
    int m_outlineThickness = 2;
    int m_offsetX = 0;
    int m_offsetY = 0;
};

} // namespace TextFx
