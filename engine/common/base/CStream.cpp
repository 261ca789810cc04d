#include "engine/common/base/CStream.h"

#include "engine/common/base/Memory.h"
#include "engine/common/base/ShortTextLength.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr int32_t kEmptyStreamCapacity = 1024;

} // namespace

CStream::CStream() = default;

CStream::~CStream()
{
    EngineFree(m_data);
}

bool CStream::Initialize(int32_t size, int32_t capacity)
{
    if (size < 0 || capacity < size || !Reserve(capacity))
        return false;
    m_size = size;
    return true;
}

// Grows the buffer to exactly `capacity` bytes (new bytes are zero: engine
// blocks come zero-filled); never shrinks it.
bool CStream::Reserve(int32_t capacity)
{
    if (capacity <= m_capacity && m_data != nullptr)
        return true;
    uint8_t* grown = static_cast<uint8_t*>(EngineAlloc(static_cast<uint32_t>(capacity)));
    if (grown == nullptr)
        return false;
    if (m_data != nullptr)
        std::memcpy(grown, m_data, static_cast<size_t>(std::min(m_size, capacity)));
    EngineFree(m_data);
    m_data = grown;
    m_capacity = capacity;
    return true;
}

uint8_t* CStream::GetData() { return m_data; }
int32_t CStream::GetSize() { return m_size; }

void CStream::SetSize(int32_t size)
{
    if (size < 0)
        return;
    if (size > m_capacity) {
        if (!Reserve(size))
            return;
    } else if (size > m_size) {
        // Bytes once written and then cut off come back as zeros.
        std::memset(m_data + m_size, 0, static_cast<size_t>(size - m_size));
    }
    m_size = size;
    m_position = std::min(m_position, size);
}

int32_t CStream::Tell() { return m_position; }
void CStream::Seek(int32_t position) { m_position = position; }
uint8_t* CStream::GetCurrent() { return m_data + m_position; }
void CStream::Skip(int32_t count) { m_position += count; }

bool CStream::Read(void* destination, int32_t count)
{
    const bool fits = destination != nullptr && count >= 0 && m_position >= 0 && m_position <= m_size &&
                      count <= m_size - m_position;
    if (!fits) {
        m_readFailed = true;
        return false;
    }
    std::memcpy(destination, m_data + m_position, static_cast<size_t>(count));
    m_position += count;
    return true;
}

bool CStream::Write(const void* source, int32_t count)
{
    if (count < 0 || m_position < 0 || (source == nullptr && count > 0))
        return false;
    const int64_t end = static_cast<int64_t>(m_position) + count;
    if (end > INT32_MAX)
        return false;
    if (end > m_capacity) {
        // Double the room for the usual append pattern, but never less than
        // what this write reaches (a seek beyond the size may precede it).
        const int64_t doubled = (static_cast<int64_t>(m_size) + count) * 2;
        const int64_t wanted = std::max<int64_t>(end, std::min<int64_t>(doubled, INT32_MAX));
        if (!Reserve(static_cast<int32_t>(wanted)))
            return false;
    }
    if (m_position > m_size)
        std::memset(m_data + m_size, 0, static_cast<size_t>(m_position - m_size));
    if (count > 0)
        std::memcpy(m_data + m_position, source, static_cast<size_t>(count));
    m_position = static_cast<int32_t>(end);
    m_size = std::max(m_size, m_position);
    return true;
}

template <typename T>
T CStream::ReadValue()
{
    T value{};
    if (!Read(&value, sizeof(T)))
        return T{};
    return value;
}

template <typename T>
bool CStream::WriteValue(T value)
{
    return Write(&value, sizeof value);
}

int8_t CStream::ReadInt8() { return ReadValue<int8_t>(); }
bool CStream::WriteInt8(int8_t value) { return WriteValue(value); }
uint8_t CStream::ReadUInt8() { return ReadValue<uint8_t>(); }
bool CStream::WriteUInt8(uint8_t value) { return WriteValue(value); }
int16_t CStream::ReadInt16() { return ReadValue<int16_t>(); }
bool CStream::WriteInt16(int16_t value) { return WriteValue(value); }
uint16_t CStream::ReadUInt16() { return ReadValue<uint16_t>(); }
bool CStream::WriteUInt16(uint16_t value) { return WriteValue(value); }
int32_t CStream::ReadInt32() { return ReadValue<int32_t>(); }
bool CStream::WriteInt32(int32_t value) { return WriteValue(value); }
uint32_t CStream::ReadUInt32() { return ReadValue<uint32_t>(); }
bool CStream::WriteUInt32(uint32_t value) { return WriteValue(value); }
int64_t CStream::ReadInt64() { return ReadValue<int64_t>(); }
bool CStream::WriteInt64(int64_t value) { return WriteValue(value); }
uint64_t CStream::ReadUInt64() { return ReadValue<uint64_t>(); }
bool CStream::WriteUInt64(uint64_t value) { return WriteValue(value); }
float CStream::ReadFloat() { return ReadValue<float>(); }
bool CStream::WriteFloat(float value) { return WriteValue(value); }

TIntrusivePointer<IString> CStream::ReadTextBody(uint32_t length, bool wide)
{
    if (length > static_cast<uint32_t>(kMaxStreamTextLength)) {
        m_readFailed = true;
        return {};
    }
    if (wide) {
        std::wstring units(length, L'\0');
        if (!Read(&units[0], static_cast<int32_t>(length * sizeof(wchar_t))))
            return {};
        return IString_Create_Utf16(units.c_str());
    }
    std::string bytes(length, '\0');
    if (!Read(&bytes[0], static_cast<int32_t>(length)))
        return {};
    return IString_Create_Ansi(bytes.c_str());
}

// A refused text read leaves the position where the text began.
template <typename Length>
TIntrusivePointer<IString> CStream::ReadCountedText(bool wide)
{
    const int32_t start = m_position;
    Length length = 0;
    TIntrusivePointer<IString> text;
    if (Read(&length, sizeof length))
        text = ReadTextBody(length, wide);
    if (text.IsNull())
        m_position = start;
    return text;
}

TIntrusivePointer<IString> CStream::ReadAnsiString() { return ReadCountedText<uint32_t>(false); }
TIntrusivePointer<IString> CStream::ReadShortAnsiString() { return ReadCountedText<uint8_t>(false); }
TIntrusivePointer<IString> CStream::ReadUnicodeString() { return ReadCountedText<uint32_t>(true); }

bool CStream::WriteAnsiString(const char* text)
{
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(INT32_MAX - 4))
        return false;
    return WriteUInt32(static_cast<uint32_t>(length)) && Write(text, static_cast<int32_t>(length));
}

bool CStream::WriteUnicodeString(const wchar_t* text)
{
    const size_t length = text != nullptr ? std::wcslen(text) : 0;
    if (length > static_cast<size_t>(INT32_MAX / 2 - 4))
        return false;
    return WriteUInt32(static_cast<uint32_t>(length)) &&
           Write(text, static_cast<int32_t>(length * sizeof(wchar_t)));
}

bool CStream::WriteShortAnsiString(const char* text)
{
    const int32_t length = ShortAnsiTextLength(text);
    return WriteUInt8(static_cast<uint8_t>(length)) && Write(text, length);
}

bool CStream::HasReadFailed() { return m_readFailed; }
void CStream::ClearReadFailure() { m_readFailed = false; }

IStream* IStream_Create(int32_t size)
{
    return CStream::Make(size, size);
}

IStream* IStream_CreateEmpty()
{
    return CStream::Make(0, kEmptyStreamCapacity);
}

CStream* CStream::Make(int32_t size, int32_t capacity)
{
    CStream* stream = new (std::nothrow) CStream();
    if (stream != nullptr && !stream->Initialize(size, capacity)) {
        delete stream;
        stream = nullptr;
    }
    return stream;
}

} // namespace Common
} // namespace RVGameEngine
