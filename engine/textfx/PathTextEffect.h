#pragma once

#include "engine/textfx/ITextEffect.h"
#include "engine/textfx/TextLayoutSlots.h"

namespace TextFx {

// The common frame of every effect: each drawing and measuring slot becomes
// one layout, the layout builds the text path, and the effect paints it.
// The measured box grows by the pixel width of MeasuredThickness().
class PathTextEffect : public TextLayoutSlots<ITextEffect>
{
protected:
    // Builds the path and paints it; an effect that draws several copies
    // replaces this.
    bool DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout) override;
    // Strokes and fills one built path; false when any GDI+ call fails.
    virtual bool PaintPath(Gdiplus::Graphics* graphics, Gdiplus::GraphicsPath* path) = 0;
    // Page units by which the painted ink reaches beyond the bare outline.
    virtual int MeasuredThickness() const = 0;

private:
    bool MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight, float* startX,
                       float* startY, float* width, float* height) override;
};

} // namespace TextFx
