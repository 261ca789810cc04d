#pragma once

#include "engine/common/base/IStream.h"

namespace RVGameEngine {
namespace Common {

class CStream : public IStream
{
public:
    // A stream holding `size` zero bytes in a buffer of `capacity` bytes;
    // null when the buffer cannot be allocated.
    static CStream* Make(int32_t size, int32_t capacity);

    ~CStream() override;
    CStream(const CStream&) = delete;
    CStream& operator=(const CStream&) = delete;

    uint8_t* GetData() override;
    int32_t GetSize() override;
    void SetSize(int32_t size) override;
    int32_t Tell() override;
    void Seek(int32_t position) override;
    uint8_t* GetCurrent() override;
    void Skip(int32_t count) override;
    bool Read(void* destination, int32_t count) override;
    bool Write(const void* source, int32_t count) override;

    int8_t ReadInt8() override;
    bool WriteInt8(int8_t value) override;
    uint8_t ReadUInt8() override;
    bool WriteUInt8(uint8_t value) override;
    int16_t ReadInt16() override;
    bool WriteInt16(int16_t value) override;
    uint16_t ReadUInt16() override;
    bool WriteUInt16(uint16_t value) override;
    int32_t ReadInt32() override;
    bool WriteInt32(int32_t value) override;
    uint32_t ReadUInt32() override;
    bool WriteUInt32(uint32_t value) override;
    int64_t ReadInt64() override;
    bool WriteInt64(int64_t value) override;
    uint64_t ReadUInt64() override;
    bool WriteUInt64(uint64_t value) override;
    float ReadFloat() override;
    bool WriteFloat(float value) override;

    TIntrusivePointer<IString> ReadAnsiString() override;
    bool WriteAnsiString(const char* text) override;
    TIntrusivePointer<IString> ReadUnicodeString() override;
    bool WriteUnicodeString(const wchar_t* text) override;
    TIntrusivePointer<IString> ReadShortAnsiString() override;
    bool WriteShortAnsiString(const char* text) override;

    bool HasReadFailed() override;
    void ClearReadFailure() override;

private:
    CStream();
    bool Initialize(int32_t size, int32_t capacity);
    template <typename T>
    T ReadValue();
    template <typename T>
    bool WriteValue(T value);
    // A text of `length` code page 936 bytes or, when wide, UTF-16 units.
    TIntrusivePointer<IString> ReadTextBody(uint32_t length, bool wide);
    // A text behind a length field of type Length.
    template <typename Length>
    TIntrusivePointer<IString> ReadCountedText(bool wide);
    bool Reserve(int32_t capacity);

    uint8_t* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_capacity = 0;
    int32_t m_position = 0;
    bool m_readFailed = false;
};

} // namespace Common
} // namespace RVGameEngine
