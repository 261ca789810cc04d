#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// MD5 digests and CRC-32 checksums (polynomial 0xEDB88320) of byte blocks
// and texts. A process-wide service without a reference count: reach it
// through IDigest_GetInstance and never delete it.
class RV_API IDigest
{
public:
    // 32 lowercase hex digits of the MD5 of the text in the program's byte
    // form (ASCII as it is, each other character as three bytes, see CDigest).
    // Empty pointer for a null text or when memory runs out.
    virtual TIntrusivePointer<IString> MD5OfText(const wchar_t* text) = 0;
    // 32 lowercase hex digits; empty pointer for null data with a size.
    virtual TIntrusivePointer<IString> MD5String(const void* data, uint32_t size) = 0;
    // Writes the 16 digest bytes; nothing is written for null output, and
    // null data with a size gives a zeroed digest.
    virtual void MD5Raw(const void* data, uint32_t size, void* output) = 0;
    // 0 for no bytes and for null data.
    virtual uint32_t CRC32(const void* data, uint32_t size) = 0;
    // Eight uppercase hex digits; empty pointer for null data with a size.
    virtual TIntrusivePointer<IString> CRC32String(const void* data, uint32_t size) = 0;

protected:
    IDigest() = default;
    ~IDigest() = default;
};

RV_API IDigest* IDigest_GetInstance();

} // namespace Common
} // namespace RVGameEngine
