#pragma once

#include <algorithm>
#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The selection of a text-input control: characters [start, end), grown
// from a fixed anchor to a moving active end by the keyboard or the mouse.
struct tagTextSelection
{
    bool active = false;
    int32_t start = 0;
    int32_t end = 0;
    int32_t anchor = 0;
    int32_t activeEnd = 0;

    void Clear() { *this = tagTextSelection(); }

    void SelectAll(int32_t length)
    {
        active = true;
        anchor = start = 0;
        activeEnd = end = length;
    }

    // An empty selection at the caret, to be grown from there.
    void StartAt(int32_t caret)
    {
        active = true;
        anchor = activeEnd = start = end = caret;
    }

    void MoveActiveEnd(int32_t caret)
    {
        activeEnd = caret;
        start = std::min(anchor, activeEnd);
        end = std::max(anchor, activeEnd);
    }
};

} // namespace DirectUI
} // namespace RVGameEngine
