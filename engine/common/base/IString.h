#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Common {

// The engine's UTF-16 text with conversions to and from narrow text. "Ansi"
// means code page 936 throughout the engine; UTF-8 is code page 65001.
// The pointers returned by GetAnsi and GetUtf8 share one cache: each call
// overwrites what the previous one returned.
class RV_API IString : public IReferenceCounted
{
public:
    virtual void SetAnsi(const char* text) = 0;
    virtual void SetUtf8(const char* text) = 0;
    virtual void SetUtf16(const wchar_t* text) = 0;
    virtual const char* GetAnsi() = 0;
    virtual const char* GetUtf8() = 0;
    virtual const wchar_t* GetUtf16() = 0;
};

RV_API TIntrusivePointer<IString> IString_Create();
RV_API TIntrusivePointer<IString> IString_Create_Ansi(const char* text);
RV_API TIntrusivePointer<IString> IString_Create_Utf8(const char* text);
RV_API TIntrusivePointer<IString> IString_Create_Utf16(const wchar_t* text);

} // namespace Common
} // namespace RVGameEngine
