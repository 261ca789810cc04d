#pragma once

#include <windows.h>

#include <algorithm>

namespace RVGameEngine {
namespace DirectUI {

// The smallest rectangle that holds both (an empty one counts with its corners).
inline RECT EnclosingRect(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace DirectUI
} // namespace RVGameEngine
