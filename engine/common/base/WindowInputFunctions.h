#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/tagWindowInput.h"

#include <windows.h>

#include <cstddef>

namespace RVGameEngine {
namespace Common {

// The input of a key, character, mouse button, mouse move, wheel or focus
// message; kind WINDOW_INPUT_NONE for every other message. Positions travel
// as two signed 16-bit words, so a point left of or above the window reads
// negative.
RV_API tagWindowInput ReadWindowInput(UINT message, WPARAM wParam, LPARAM lParam);

// The row of the table for the kind, or null when it has none.
template <size_t Count>
const tagWindowInputEvents* FindWindowInputEvents(const tagWindowInputEvents (&table)[Count], enmWindowInput kind)
{
    for (const tagWindowInputEvents& row : table) {
        if (row.kind == kind)
            return &row;
    }
    return nullptr;
}

} // namespace Common
} // namespace RVGameEngine
