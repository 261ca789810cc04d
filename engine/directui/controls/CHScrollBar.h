#pragma once

#include "engine/directui/controls/IHScrollBar.h"
#include "engine/directui/controls/TScrollBarWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// The horizontal scroll bar: left arrow at the left end, right arrow at the
// right end, the thumb on the track between them.
class RV_API CHScrollBar : public TScrollBarWindow<IHScrollBar, tagHScrollBarScrolledEventArgs>
{
public:
    CHScrollBar();

    // IUIWindow
    // Releases all thirteen pictures.
    void ResetBackgroundImage() override;
};

} // namespace DirectUI
} // namespace RVGameEngine
