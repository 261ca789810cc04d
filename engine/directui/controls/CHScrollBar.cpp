#include "engine/directui/controls/CHScrollBar.h"

namespace RVGameEngine {
namespace DirectUI {

CHScrollBar::CHScrollBar() : TScrollBarWindow(true) {}

void CHScrollBar::ResetBackgroundImage()
{
    m_core.ReleaseImages(CScrollBarCore::IMAGE_BACK, CScrollBarCore::IMAGE_BAR_DISABLED);
}

} // namespace DirectUI
} // namespace RVGameEngine
