#pragma once

#include "engine/common/base/tagColor.h"

namespace RVGameEngine {
namespace DirectUI {

// The UI's colour is the core's four-byte record.
using tagColor = Common::tagColor;

} // namespace DirectUI
} // namespace RVGameEngine
