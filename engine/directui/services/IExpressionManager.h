#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IUISystem;

// The process-wide table of expression pictures that rich text shows
// inline: entry n is what an "Expression" element numbered n shows. An entry
// holds one picture or frames played by the engine clock, so every box shows
// the same frame at the same moment. Pictures are made over the driver of the
// UI system passed in; a picture counts as loaded when it decodes to a size.
class RV_API IExpressionManager
{
public:
    // Resizes the table to count entries; entry i is replaced by the picture
    // named by the pattern with i when that exists and loads. A negative
    // count, or one above
    // 65,536, changes nothing.
    virtual void LoadExpressionSet(IUISystem* uiSystem, const wchar_t* pattern, int32_t count) = 0;
    // Appends the picture as a new entry and returns its number; -1 when it
    // does not load. The number of an entry removed with
    // RemoveFileExpression, or dropped by a set load, may be given out again.
    virtual int32_t AddExpressionFromFile(IUISystem* uiSystem, const wchar_t* filename) = 0;
    // Grows the table to hold the number; the entry changes only when the
    // picture loads. Numbers below 0 or from 65,536 on are ignored.
    virtual void SetExpression(IUISystem* uiSystem, int32_t number, const wchar_t* filename) = 0;
    // Makes the entry a new animation at once; frames named by the pattern
    // with first, first + 1, ... that load are its frames, in order. The rate
    // is kept within 1 to 1000 frames per second.
    virtual void SetAnimatedExpression(IUISystem* uiSystem, int32_t number, const wchar_t* pattern, int32_t first,
                                       int32_t count, int32_t framesPerSecond) = 0;
    // The current frame's size; 0 by 0 for a number the table does not hold.
    virtual void GetExpressionSize(IUISystem* uiSystem, int32_t number, int32_t* width, int32_t* height) = 0;
    // Draws the current frame with its top-left corner at (x, y).
    virtual void DrawExpression(IUISystem* uiSystem, int32_t number, int32_t x, int32_t y) = 0;
    virtual bool IsExpressionAnimated(int32_t number) = 0;

    // Each entry AddExpressionFromFile makes gets a stamp of its own, never
    // given to another entry: a user of a file entry keeps the number and its
    // stamp, and knows its entry by both. 0 when the number holds no file
    // entry (a set entry, an empty or dropped one).
    virtual uint32_t GetFileExpressionStamp(int32_t number) = 0;
    // Empties a file entry once its user no longer shows it, but only while
    // the number still holds the entry of that stamp: a number dropped by a
    // set load and given to another user, or set over, is left alone.
    // Trailing entries emptied so leave the table.
    virtual void RemoveFileExpression(int32_t number, uint32_t stamp) = 0;

protected:
    ~IExpressionManager() = default;
};

// Made on the engine heap at the first call and never destroyed; null only
// when memory runs out.
RV_API IExpressionManager* IExpressionManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
