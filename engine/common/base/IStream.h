#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// A growable in-memory byte stream with a size and one read/write position.
// Typed values are stored little-endian (their memory image); texts carry a
// length field and no terminator:
//   long narrow  - uint32 byte count, then code page 936 bytes
//   UTF-16       - uint32 unit count, then 2 x count bytes UTF-16LE
//   short narrow - uint8 byte count, then code page 936 bytes
//
// A read never copies beyond the size: a request for more bytes than remain
// is refused before anything is copied. The refusal is returned by Read and
// the text reads (empty pointer), and is remembered for the typed reads
// (which then return 0): HasReadFailed tells whether any read since the
// stream was made, or since ClearReadFailure, was refused.
//
// A pointer from GetData or GetCurrent is valid until the next Write or
// SetSize that grows the buffer.
class RV_API IStream : public IReferenceCounted
{
public:
    virtual uint8_t* GetData() = 0;
    virtual int32_t GetSize() = 0;
    // Growing the size beyond the buffer grows the buffer (new bytes zero);
    // a negative size is refused. The position is kept at or below the size.
    virtual void SetSize(int32_t size) = 0;
    virtual int32_t Tell() = 0;
    virtual void Seek(int32_t position) = 0;
    virtual uint8_t* GetCurrent() = 0;
    virtual void Skip(int32_t count) = 0;
    virtual bool Read(void* destination, int32_t count) = 0;
    // Writing after a seek beyond the size zero-fills the gap. False when the
    // buffer cannot grow (nothing is written then).
    virtual bool Write(const void* source, int32_t count) = 0;

    virtual int8_t ReadInt8() = 0;
    virtual bool WriteInt8(int8_t value) = 0;
    virtual uint8_t ReadUInt8() = 0;
    virtual bool WriteUInt8(uint8_t value) = 0;
    virtual int16_t ReadInt16() = 0;
    virtual bool WriteInt16(int16_t value) = 0;
    virtual uint16_t ReadUInt16() = 0;
    virtual bool WriteUInt16(uint16_t value) = 0;
    virtual int32_t ReadInt32() = 0;
    virtual bool WriteInt32(int32_t value) = 0;
    virtual uint32_t ReadUInt32() = 0;
    virtual bool WriteUInt32(uint32_t value) = 0;
    virtual int64_t ReadInt64() = 0;
    virtual bool WriteInt64(int64_t value) = 0;
    virtual uint64_t ReadUInt64() = 0;
    virtual bool WriteUInt64(uint64_t value) = 0;
    virtual float ReadFloat() = 0;
    virtual bool WriteFloat(float value) = 0;

    // Texts of at most 9,999 bytes (narrow) or 9,999 units (UTF-16) read back;
    // a longer length field is refused like a short read.
    virtual TIntrusivePointer<IString> ReadAnsiString() = 0;
    virtual bool WriteAnsiString(const char* text) = 0;
    virtual TIntrusivePointer<IString> ReadUnicodeString() = 0;
    virtual bool WriteUnicodeString(const wchar_t* text) = 0;
    virtual TIntrusivePointer<IString> ReadShortAnsiString() = 0;
    // A text longer than 255 bytes is written cut to at most 255 bytes,
    // never splitting a double-byte character.
    virtual bool WriteShortAnsiString(const char* text) = 0;

    virtual bool HasReadFailed() = 0;
    virtual void ClearReadFailure() = 0;
};

// A new stream that already holds `size` zero bytes (position 0), count 0:
// wrap it in a TIntrusivePointer. Null when the buffer cannot be allocated or
// the size is negative.
RV_API IStream* IStream_Create(int32_t size);
// A new empty stream (size 0) with room for 1,024 bytes.
RV_API IStream* IStream_CreateEmpty();

// Longest text a stream or raw file reads back, in bytes or UTF-16 units.
constexpr int32_t kMaxStreamTextLength = 9999;

} // namespace Common
} // namespace RVGameEngine
