#include "engine/directui/controls/CLabel.h"

namespace RVGameEngine {
namespace DirectUI {

CLabel::CLabel()
{
    CUIWindow::SetTitleAlign(0);
}

} // namespace DirectUI
} // namespace RVGameEngine
