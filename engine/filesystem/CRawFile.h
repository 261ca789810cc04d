#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace FileSystem {

// One Win32 file handle with a running 64-bit position: the one place where
// the engine opens disk files. Reads and writes report success only when
// every byte was transferred. A raw file has no lock: its owner serialises
// its use.
//
// Texts have the stream layouts (long narrow, UTF-16, short narrow; see
// IStream) and read back up to 9,999 bytes or units.
class RV_API CRawFile : public Common::IReferenceCounted
{
public:
    CRawFile() = default;
    ~CRawFile() override = default;
    CRawFile(const CRawFile&) = delete;
    CRawFile& operator=(const CRawFile&) = delete;

    // The name passes through the file system's replacement list; the base
    // folder is not applied. For writing, the folder chain is created, a
    // read-only flag cleared and the file created when missing (its content
    // is kept). `warn` shows "Failed to open file: %s" on failure.
    bool Open(const wchar_t* name, bool forReading, bool warn);
    // Takes over a file another part opened (and checked), under the name it
    // was opened by; false, the handle closed, when it is no file handle.
    bool Attach(HANDLE file, const wchar_t* name);
    void Close();
    bool IsOpen() const;

    // At an explicit offset from the file's start; true only when all
    // `count` bytes were transferred. Positional, so reads from several
    // threads do not disturb each other.
    bool Read(uint64_t offset, void* buffer, uint32_t count);
    bool Write(uint64_t offset, const void* buffer, uint32_t count);
    // At the running position, which then moves by `count` in any case.
    bool ReadNext(void* buffer, uint32_t count);
    bool WriteNext(const void* buffer, uint32_t count);

    void SetPositionField(uint64_t position) { m_position = position; }
    uint64_t GetPosition() const { return m_position; }

    bool Flush();
    // Sets the end of file at `length`; the running position is unchanged.
    bool SetSize(uint64_t length);
    // 0 for a closed file.
    uint64_t GetFileSize();
    // INVALID_FILE_ATTRIBUTES when they cannot be read.
    DWORD GetAttributes() const;
    const wchar_t* GetName() const { return m_name.c_str(); }

    // Typed reads return 0 when the file ends inside the value and mark the
    // read as failed (see HasReadFailed).
    int8_t ReadInt8();
    uint8_t ReadUInt8();
    int16_t ReadInt16();
    uint16_t ReadUInt16();
    int32_t ReadInt32();
    uint32_t ReadUInt32();
    int64_t ReadInt64();
    uint64_t ReadUInt64();
    float ReadFloat();
    bool WriteInt8(int8_t value);
    bool WriteUInt8(uint8_t value);
    bool WriteInt16(int16_t value);
    bool WriteUInt16(uint16_t value);
    bool WriteInt32(int32_t value);
    bool WriteUInt32(uint32_t value);
    bool WriteInt64(int64_t value);
    bool WriteUInt64(uint64_t value);
    bool WriteFloat(float value);

    // Empty pointer for a short read or a length beyond 9,999.
    Common::TIntrusivePointer<Common::IString> ReadStringA();
    Common::TIntrusivePointer<Common::IString> ReadStringW();
    Common::TIntrusivePointer<Common::IString> ReadShortStringA();
    bool WriteStringA(const char* text);
    bool WriteStringW(const wchar_t* text);
    // Cut to at most 255 bytes, never inside a double-byte character.
    bool WriteShortStringA(const char* text);

    // Whether any read since the file was made (or since ClearReadFailure)
    // came up short.
    bool HasReadFailed() const { return m_readFailed; }
    void ClearReadFailure() { m_readFailed = false; }

private:
    template <typename T>
    T ReadValue();
    Common::TIntrusivePointer<Common::IString> ReadNarrowText(uint32_t length);

    std::wstring m_name;
    Common::CScopedKernelHandle m_handle;
    uint64_t m_position = 0;
    bool m_readFailed = false;
};

} // namespace FileSystem
} // namespace RVGameEngine
