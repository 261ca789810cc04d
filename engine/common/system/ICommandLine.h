#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Common {

// Named options of the process's own command line (name=value tokens; the
// program path is an ordinary token). Read once, on first use.
class RV_API ICommandLine
{
public:
    virtual const wchar_t* GetRawCommandLine() = 0;
    virtual bool HasParameter(const wchar_t* name) = 0;
    // An empty text when the option is missing.
    virtual TIntrusivePointer<IString> GetString(const wchar_t* name) = 0;
    // The value's leading decimal number; 0 when there is none.
    virtual int32_t GetInt(const wchar_t* name) = 0;
    // The value's leading number; 0 when it does not start with one.
    virtual float GetFloat(const wchar_t* name) = 0;
    // True only for the value "true" in any letter case.
    virtual bool GetBool(const wchar_t* name) = 0;

protected:
    ~ICommandLine() = default;
};

RV_API ICommandLine* ICommandLine_GetInstance();

} // namespace Common
} // namespace RVGameEngine
