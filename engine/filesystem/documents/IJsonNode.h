#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// One JSON value. Texts are narrow UTF-8. Reads never fail: a missing member,
// an index out of range or a value of the wrong kind gives an empty pointer,
// 0, 0.0, the empty text or an all-zero date.
class RV_API IJsonNode : public Common::IReferenceCounted
{
public:
    ~IJsonNode() override = default;

    // Elements of an array, members of an object, 0 for anything else.
    virtual int32_t GetSize() = 0;
    // A copy of the array element; empty when this is not an array or the
    // index is out of range.
    virtual Common::TIntrusivePointer<IJsonNode> GetElement(int32_t index) = 0;
    // A copy of the object member; empty when this is not an object with it.
    virtual Common::TIntrusivePointer<IJsonNode> GetMember(const char* name) = 0;
    virtual int32_t GetMemberInt(const char* name) = 0;
    // A text is read as a decimal integer; a number in the 32-bit range is
    // truncated toward zero (12.7 gives 12); anything else gives 0.
    virtual int32_t GetInt() = 0;
    virtual float GetMemberFloat(const char* name) = 0;
    // A text is read as a decimal number; a number as it is; else 0.0.
    virtual float GetFloat() = 0;
    virtual const char* GetMemberString(const char* name) = 0;
    // The value as text ("true" for true, digits for a number, the empty text
    // for null, arrays and objects). Valid until the next GetString on this
    // node or its destruction.
    virtual const char* GetString() = 0;
    // A member holding "/Date(<milliseconds since 1970 UTC>...)/" as the local
    // date and time of that instant less eight hours; all zero otherwise.
    virtual SYSTEMTIME GetMemberDateTime(const char* name) = 0;
};

} // namespace FileSystem
} // namespace RVGameEngine
