#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Common {

// Splits a text into tokens at spaces and tabs outside double quotes, and each
// token into a name and a value at its first equals sign. Names are compared
// with letter case; the first match wins.
class RV_API IParameterParser : public IReferenceCounted
{
public:
    // Appends the text's tokens (and their names and values) to what earlier
    // calls found.
    virtual void Parse(const wchar_t* text) = 0;
    virtual bool HasName(const wchar_t* name) = 0;
    // An empty text (never an empty pointer) when no name matches.
    virtual TIntrusivePointer<IString> GetValue(const wchar_t* name) = 0;
    virtual void Clear() = 0;
};

// A new parser with a reference count of 0: hold it in a TIntrusivePointer.
RV_API IParameterParser* IParameterParser_Create();

} // namespace Common
} // namespace RVGameEngine
