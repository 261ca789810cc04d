#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/directui/controls/tagTextSelection.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One undo or redo step of an edit box: everything that editing changes.
class CEditBoxState : public Common::IReferenceCounted
{
public:
    std::wstring text;
    int32_t caret = 0;
    int32_t scrollOffset = 0;
    tagTextSelection selection;
};

} // namespace DirectUI
} // namespace RVGameEngine
