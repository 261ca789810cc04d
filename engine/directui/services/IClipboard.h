#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace DirectUI {

// Plain Unicode text to and from the Windows clipboard. A plain service: no
// reference count, no state; every call opens and closes the clipboard.
class RV_API IClipboard
{
public:
    // Replaces the clipboard's contents with the text (null counts as "").
    // Nothing changes when the clipboard cannot be opened.
    virtual void SetText(const wchar_t* text) = 0;
    // The clipboard's Unicode text; an empty string when it holds none or
    // cannot be opened.
    virtual Common::TIntrusivePointer<Common::IString> GetText() = 0;

protected:
    ~IClipboard() = default;
};

// One object for the process, made at the first call.
RV_API IClipboard* IClipboard_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
