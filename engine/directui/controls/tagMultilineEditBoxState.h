#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/directui/controls/tagTextSelection.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One undo or redo step of a multi-line edit box.
struct tagMultilineEditBoxState : public Common::IReferenceCounted
{
    std::wstring text;
    int32_t caret = 0;
    tagTextSelection selection;
};

} // namespace DirectUI
} // namespace RVGameEngine
