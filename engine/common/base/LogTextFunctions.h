#pragma once

#include "engine/common/base/EngineApi.h"

#include <string>

namespace RVGameEngine {
namespace Common {

// Text from outside the program (a server's reply, an address it sent, a
// partner identity, a peer's markup) as it may go into a log line: line
// breaks, control characters and other line or paragraph separators are
// escaped ("\r", "\n", "\t", else "\uXXXX"), and so is the backslash ("\\"),
// so that the text stays on its line and cannot pass for an entry of its own.
RV_API std::wstring LoggableText(const std::wstring& text);

} // namespace Common
} // namespace RVGameEngine
