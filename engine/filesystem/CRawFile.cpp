#include "engine/filesystem/CRawFile.h"

#include "engine/common/base/IStream.h"
#include "engine/common/base/ShortTextLength.h"
#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace RVGameEngine {
namespace FileSystem {

using Common::IString;
using Common::TIntrusivePointer;

namespace {

OVERLAPPED OverlappedAt(uint64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

} // namespace

bool CRawFile::Open(const wchar_t* name, bool forReading, bool warn)
{
    Close();
    IVirtualFileSystem* fileSystem = IVirtualFileSystem_GetInstance();
    TIntrusivePointer<IString> replaced = fileSystem->ReplaceFilename(name);
    m_name = replaced ? replaced->GetUtf16() : L"";
    if (!m_name.empty()) {
        if (forReading) {
            m_handle.Reset(CreateFileW(m_name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        } else {
            wchar_t directory[kPathPartBufferLength];
            if (fileSystem->GetDirectoryPart(m_name.c_str(), directory))
                fileSystem->CreateDirectory(directory);
            fileSystem->ClearReadOnly(m_name.c_str());
            m_handle.Reset(CreateFileW(m_name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
    if (IsOpen())
        return true;
    m_handle.Reset();
    if (warn)
        ShowFileWarning(L"Failed to open file: %s", m_name.c_str());
    return false;
}

bool CRawFile::Attach(HANDLE file, const wchar_t* name)
{
    Close();
    m_handle.Reset(file);
    m_name = name != nullptr ? name : L"";
    m_position = 0;
    return IsOpen();
}

void CRawFile::Close()
{
    m_handle.Reset();
}

bool CRawFile::IsOpen() const
{
    return m_handle.IsValid();
}

bool CRawFile::Read(uint64_t offset, void* buffer, uint32_t count)
{
    if (!IsOpen() || (buffer == nullptr && count > 0))
        return false;
    uint8_t* target = static_cast<uint8_t*>(buffer);
    // One system read may deliver less than asked; keep going until the
    // whole count is in or the file ends.
    while (count > 0) {
        OVERLAPPED overlapped = OverlappedAt(offset);
        DWORD done = 0;
        if (!::ReadFile(m_handle.Get(), target, count, &done, &overlapped) || done == 0)
            return false;
        target += done;
        offset += done;
        count -= done;
    }
    return true;
}

bool CRawFile::Write(uint64_t offset, const void* buffer, uint32_t count)
{
    if (!IsOpen() || (buffer == nullptr && count > 0))
        return false;
    const uint8_t* source = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        OVERLAPPED overlapped = OverlappedAt(offset);
        DWORD done = 0;
        if (!::WriteFile(m_handle.Get(), source, count, &done, &overlapped) || done == 0)
            return false;
        source += done;
        offset += done;
        count -= done;
    }
    return true;
}

bool CRawFile::ReadNext(void* buffer, uint32_t count)
{
    const bool whole = Read(m_position, buffer, count);
    m_position += count;
    if (!whole)
        m_readFailed = true;
    return whole;
}

bool CRawFile::WriteNext(const void* buffer, uint32_t count)
{
    const bool whole = Write(m_position, buffer, count);
    m_position += count;
    return whole;
}

bool CRawFile::Flush()
{
    return IsOpen() && FlushFileBuffers(m_handle.Get()) != FALSE;
}

bool CRawFile::SetSize(uint64_t length)
{
    if (!IsOpen())
        return false;
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(m_handle.Get(), distance, nullptr, FILE_BEGIN) && SetEndOfFile(m_handle.Get());
}

uint64_t CRawFile::GetFileSize()
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!IsOpen() || !GetFileInformationByHandle(m_handle.Get(), &information))
        return 0;
    return (static_cast<uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
}

DWORD CRawFile::GetAttributes() const
{
    return GetFileAttributesW(m_name.c_str());
}

template <typename T>
T CRawFile::ReadValue()
{
    T value{};
    if (!ReadNext(&value, sizeof(T)))
        return T{};
    return value;
}

int8_t CRawFile::ReadInt8() { return ReadValue<int8_t>(); }
uint8_t CRawFile::ReadUInt8() { return ReadValue<uint8_t>(); }
int16_t CRawFile::ReadInt16() { return ReadValue<int16_t>(); }
uint16_t CRawFile::ReadUInt16() { return ReadValue<uint16_t>(); }
int32_t CRawFile::ReadInt32() { return ReadValue<int32_t>(); }
uint32_t CRawFile::ReadUInt32() { return ReadValue<uint32_t>(); }
int64_t CRawFile::ReadInt64() { return ReadValue<int64_t>(); }
uint64_t CRawFile::ReadUInt64() { return ReadValue<uint64_t>(); }
float CRawFile::ReadFloat() { return ReadValue<float>(); }
bool CRawFile::WriteInt8(int8_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteUInt8(uint8_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteInt16(int16_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteUInt16(uint16_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteInt32(int32_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteUInt32(uint32_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteInt64(int64_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteUInt64(uint64_t value) { return WriteNext(&value, sizeof value); }
bool CRawFile::WriteFloat(float value) { return WriteNext(&value, sizeof value); }

TIntrusivePointer<IString> CRawFile::ReadNarrowText(uint32_t length)
{
    if (length > static_cast<uint32_t>(Common::kMaxStreamTextLength)) {
        m_readFailed = true;
        return {};
    }
    std::string bytes(length, '\0');
    if (!ReadNext(&bytes[0], length))
        return {};
    return Common::IString_Create_Ansi(bytes.c_str());
}

TIntrusivePointer<IString> CRawFile::ReadStringA()
{
    uint32_t length = 0;
    if (!ReadNext(&length, sizeof length))
        return {};
    return ReadNarrowText(length);
}

TIntrusivePointer<IString> CRawFile::ReadShortStringA()
{
    uint8_t length = 0;
    if (!ReadNext(&length, 1))
        return {};
    return ReadNarrowText(length);
}

TIntrusivePointer<IString> CRawFile::ReadStringW()
{
    uint32_t length = 0;
    if (!ReadNext(&length, sizeof length))
        return {};
    if (length > static_cast<uint32_t>(Common::kMaxStreamTextLength)) {
        m_readFailed = true;
        return {};
    }
    std::wstring units(length, L'\0');
    if (!ReadNext(&units[0], length * sizeof(wchar_t)))
        return {};
    return Common::IString_Create_Utf16(units.c_str());
}

bool CRawFile::WriteStringA(const char* text)
{
    const uint32_t length = text != nullptr ? static_cast<uint32_t>(std::strlen(text)) : 0;
    return WriteUInt32(length) && WriteNext(text, length);
}

bool CRawFile::WriteStringW(const wchar_t* text)
{
    const uint32_t length = text != nullptr ? static_cast<uint32_t>(std::wcslen(text)) : 0;
    return WriteUInt32(length) && WriteNext(text, length * sizeof(wchar_t));
}

bool CRawFile::WriteShortStringA(const char* text)
{
    const int32_t length = Common::ShortAnsiTextLength(text);
    return WriteUInt8(static_cast<uint8_t>(length)) && WriteNext(text, static_cast<uint32_t>(length));
}

} // namespace FileSystem
} // namespace RVGameEngine
