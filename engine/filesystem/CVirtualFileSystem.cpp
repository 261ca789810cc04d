#include "engine/filesystem/CVirtualFileSystem.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/Memory.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/CRawFile.h"
#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/ScrambleKeys.h"

#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

namespace RVGameEngine {
namespace FileSystem {

using Common::CAutoLock;
using Common::IStream;
using Common::IString;
using Common::TIntrusivePointer;

namespace {

constexpr size_t kMaxNameLength = 9999;       // names and replacement results
constexpr size_t kMaxReplacementLength = 999; // a pair's `to` text
constexpr size_t kMaxDiskPathLength = 999;
constexpr size_t kMaxPathPartLength = kPathPartBufferLength - 1;
constexpr uint8_t kRvefMagic[4] = {'R', 'V', 'E', 'F'};
constexpr int32_t kLargestFile = INT32_MAX;


// Index of the last "/" or "\", or npos.
size_t LastSeparator(const std::wstring& path)
{
    return path.find_last_of(L"/\\");
}

bool MatchesIgnoringCase(const wchar_t* text, const std::wstring& pattern)
{
    return CompareStringOrdinal(text, static_cast<int>(pattern.size()), pattern.c_str(),
                                static_cast<int>(pattern.size()), TRUE) == CSTR_EQUAL;
}

// Everything after the last separator (the whole text when there is none).
std::wstring FileNameOf(const std::wstring& path)
{
    const size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// Works out one part of a path into a caller's path-part buffer; a missing
// path or an over-long answer leaves the buffer empty.
template <typename Part>
bool AnswerPathPart(const wchar_t* path, wchar_t* out, Part part)
{
    if (out == nullptr)
        return false;
    const std::wstring answer = path != nullptr ? part(std::wstring(path)) : std::wstring();
    if (path == nullptr || answer.size() > kMaxPathPartLength) {
        out[0] = L'\0';
        return false;
    }
    std::wmemcpy(out, answer.c_str(), answer.size() + 1);
    return true;
}

// Whether the stream holds at least four bytes starting with "RVEF" (looked
// at in place, so the position does not move).
bool IsRvef(IStream* stream)
{
    if (stream->GetSize() < 4)
        return false;
    return std::memcmp(stream->GetData(), kRvefMagic, 4) == 0;
}

// Word by word: whole archives pass through here on their way to disk.
void XorBytes(uint8_t* bytes, int32_t count)
{
    if (bytes == nullptr || count <= 0)
        return;
    constexpr uint64_t kKeyWord = 0x0101010101010101ULL * kFileScrambleKey;
    const size_t size = static_cast<size_t>(count);
    size_t i = 0;
    for (; i + sizeof kKeyWord <= size; i += sizeof kKeyWord) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        word ^= kKeyWord;
        std::memcpy(bytes + i, &word, sizeof word);
    }
    for (; i < size; ++i)
        bytes[i] ^= kFileScrambleKey;
}

} // namespace

// ---------------------------------------------------------------- names

void CVirtualFileSystem::AddFilenameReplace(const wchar_t* from, const wchar_t* to)
{
    if (from == nullptr || from[0] == L'\0') {
        FileSystemLog(LOG_LEVEL_WARNING, L"Name replacement with an empty source ignored");
        return;
    }
    const std::wstring replacement = to != nullptr ? to : L"";
    if (replacement.size() > kMaxReplacementLength || std::wcslen(from) > kMaxNameLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Name replacement refused: text too long (%s)", from);
        return;
    }
    TIntrusivePointer<tagFilenameReplace> pair(new tagFilenameReplace());
    pair->from = from;
    pair->to = replacement;
    CAutoLock guard(&m_lock);
    // Moved in: reference counts are plain, so the pair's count must change
    // only under the lock that ClearFilenameReplace releases it under.
    m_replacements.push_back(std::move(pair));
}

void CVirtualFileSystem::ClearFilenameReplace()
{
    CAutoLock guard(&m_lock);
    m_replacements.clear();
}

TIntrusivePointer<IString> CVirtualFileSystem::ReplaceFilename(const wchar_t* name)
{
    std::wstring text = name != nullptr ? name : L"";
    if (text.size() > kMaxNameLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Name refused: longer than %d units", static_cast<int>(kMaxNameLength));
        return Common::IString_Create();
    }
    bool grewTooLong = false;
    {
        // Nothing logs under this lock: a log handler that reads a file on
        // another thread would wait for it while this thread waits for them.
        CAutoLock guard(&m_lock);
        for (const TIntrusivePointer<tagFilenameReplace>& pair : m_replacements) {
            std::wstring result;
            size_t at = 0;
            while (at < text.size()) {
                if (text.size() - at >= pair->from.size() && MatchesIgnoringCase(text.c_str() + at, pair->from)) {
                    result += pair->to;
                    at += pair->from.size();
                } else {
                    result += text[at++];
                }
            }
            if (result.size() > kMaxNameLength) {
                grewTooLong = true;
                break;
            }
            text.swap(result);
        }
    }
    if (grewTooLong) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Name refused: its replacement grows beyond %d units",
                      static_cast<int>(kMaxNameLength));
        return Common::IString_Create();
    }
    return Common::IString_Create_Utf16(text.c_str());
}

void CVirtualFileSystem::SetBaseDirectory(const wchar_t* path)
{
    CAutoLock guard(&m_lock);
    m_baseDirectory = path != nullptr ? path : L"";
}

bool CVirtualFileSystem::FormDiskPath(const wchar_t* name, std::wstring* path)
{
    std::wstring base;
    {
        CAutoLock guard(&m_lock);
        base = m_baseDirectory;
    }
    const bool driveQualified = name[0] != L'\0' && name[1] == L':';
    if (!base.empty() && name[0] != L'\0' && !driveQualified)
        *path = base + L"\\" + name;
    else
        *path = name;
    if (path->size() > kMaxDiskPathLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Path refused: longer than %d units: %s", static_cast<int>(kMaxDiskPathLength),
                      name);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- folders and path parts

bool CVirtualFileSystem::IsDirectory(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CVirtualFileSystem::CreateDirectory(const wchar_t* path)
{
    if (path == nullptr || path[0] == L'\0' || IsDirectory(path))
        return;
    const std::wstring folder = path;
    if (folder.size() > kMaxPathPartLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Folder not created: path longer than %d units: %s",
                      static_cast<int>(kMaxPathPartLength), path);
        return;
    }
    const size_t separator = LastSeparator(folder);
    if (separator != std::wstring::npos && separator > 0) {
        const std::wstring parent = folder.substr(0, separator);
        // "C:" and the like are drives, not folders to make.
        if (!(parent.size() == 2 && parent[1] == L':'))
            CreateDirectory(parent.c_str());
    }
    ::CreateDirectoryW(path, nullptr);
}

void CVirtualFileSystem::ClearReadOnly(const wchar_t* path)
{
    if (path == nullptr)
        return;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesW(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool CVirtualFileSystem::GetDirectoryPart(const wchar_t* path, wchar_t* directory)
{
    return AnswerPathPart(path, directory, [](const std::wstring& text) {
        const size_t separator = LastSeparator(text);
        return separator == std::wstring::npos ? std::wstring(L"./") : text.substr(0, separator);
    });
}

bool CVirtualFileSystem::GetFileNamePart(const wchar_t* path, wchar_t* fileName)
{
    return AnswerPathPart(path, fileName, FileNameOf);
}

bool CVirtualFileSystem::GetExtension(const wchar_t* path, wchar_t* extension)
{
    return AnswerPathPart(path, extension, [](const std::wstring& text) {
        const std::wstring fileName = FileNameOf(text);
        const size_t dot = fileName.find_last_of(L'.');
        return dot == std::wstring::npos ? std::wstring() : fileName.substr(dot + 1);
    });
}

// ---------------------------------------------------------------- scrambling

void CVirtualFileSystem::ScrambleBuffer(uint8_t* bytes, int32_t count)
{
    XorBytes(bytes, count);
}

void CVirtualFileSystem::UnscrambleBuffer(uint8_t* bytes, int32_t count)
{
    XorBytes(bytes, count);
}

TIntrusivePointer<IStream> CVirtualFileSystem::ScrambleStream(TIntrusivePointer<IStream> stream)
{
    if (stream.IsNull())
        return {};
    stream->Seek(0);
    if (IsRvef(stream.Get()))
        return stream;
    const int32_t size = stream->GetSize();
    if (size > kLargestFile - 4) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Stream too large to scramble (%d bytes)", size);
        return {};
    }
    TIntrusivePointer<IStream> scrambled(Common::IStream_Create(size + 4));
    if (scrambled.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory scrambling %d bytes", size);
        return {};
    }
    std::memcpy(scrambled->GetData(), kRvefMagic, 4);
    std::memcpy(scrambled->GetData() + 4, stream->GetData(), static_cast<size_t>(size));
    ScrambleBuffer(scrambled->GetData() + 4, size);
    return scrambled;
}

TIntrusivePointer<IStream> CVirtualFileSystem::ReadFileUnscrambled(const wchar_t* name)
{
    TIntrusivePointer<IStream> stream = ReadFile(name);
    if (stream.IsNull() || !IsRvef(stream.Get()))
        return stream;
    const int32_t size = stream->GetSize() - 4;
    TIntrusivePointer<IStream> plain(Common::IStream_Create(size));
    if (plain.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory unscrambling %s", name);
        return {};
    }
    std::memcpy(plain->GetData(), stream->GetData() + 4, static_cast<size_t>(size));
    UnscrambleBuffer(plain->GetData(), size);
    return plain;
}

// ---------------------------------------------------------------- whole files

bool CVirtualFileSystem::MountPackedFile(const wchar_t* archivePath)
{
    return IPackedFileManager_GetInstance()->Mount(archivePath);
}

bool CVirtualFileSystem::FileExists(const wchar_t* name)
{
    if (name == nullptr)
        return false;
    // The same steps as ReadFile, so that both agree on every name: the
    // archives apply the replacement list themselves, and on disk it applies
    // to the formed path, as the raw file that reads it does.
    if (IPackedFileManager_GetInstance()->FileExists(name))
        return true;
    std::wstring path;
    if (!FormDiskPath(name, &path))
        return false;
    const TIntrusivePointer<IString> replaced = ReplaceFilename(path.c_str());
    return replaced->GetUtf16()[0] != L'\0' && PathFileExistsW(replaced->GetUtf16()) != FALSE;
}

TIntrusivePointer<IStream> CVirtualFileSystem::ReadFile(const wchar_t* name)
{
    if (name == nullptr)
        return {};
    TIntrusivePointer<IStream> packed = IPackedFileManager_GetInstance()->ReadFile(name);
    if (packed)
        return packed;
    std::wstring path;
    if (!FormDiskPath(name, &path))
        return {};
    return ReadDiskFile(path.c_str());
}

TIntrusivePointer<IStream> CVirtualFileSystem::ReadDiskFile(const wchar_t* path)
{
    TIntrusivePointer<CRawFile> file(new CRawFile());
    if (!file->Open(path, true, true))
        return {};
    const uint64_t length = file->GetFileSize();
    if (length > static_cast<uint64_t>(kLargestFile)) {
        FileSystemLog(LOG_LEVEL_ERROR, L"File refused: %s is 2 GiB or larger", file->GetName());
        return {};
    }
    TIntrusivePointer<IStream> stream(Common::IStream_Create(static_cast<int32_t>(length)));
    if (stream.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory reading %s (%u bytes)", file->GetName(),
                      static_cast<unsigned>(length));
        return {};
    }
    if (!file->Read(0, stream->GetData(), static_cast<uint32_t>(length))) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Failed to read file: %s", file->GetName());
        return {};
    }
    return stream;
}

namespace {

// A name beside the file, unique within the process.
std::wstring TemporaryNameBeside(const std::wstring& path)
{
    static std::atomic<unsigned long> counter{0};
    wchar_t suffix[40];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%lx-%lx.tmp", GetCurrentProcessId(), ++counter);
    return path + suffix;
}

bool WriteAll(HANDLE file, const uint8_t* bytes, uint32_t count)
{
    while (count > 0) {
        DWORD done = 0;
        if (!::WriteFile(file, bytes, count, &done, nullptr) || done == 0)
            return false;
        bytes += done;
        count -= done;
    }
    return true;
}

// Writes the bytes to a new file beside `path` and puts it in the place of
// the old one in one step, so that a reader (or the next run after a crash
// or a full disk) finds the old file or the new one, never a cut one.
bool ReplaceWholeFile(const std::wstring& path, const uint8_t* bytes, uint32_t count)
{
    const std::wstring temporary = TemporaryNameBeside(path);
    bool written = false;
    {
        const Common::CScopedKernelHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            ShowFileWarning(L"Failed to open file: %s", path.c_str());
            return false;
        }
        written = WriteAll(file.Get(), bytes, count) && FlushFileBuffers(file.Get());
    }
    if (written &&
        MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

} // namespace

bool CVirtualFileSystem::WriteFile(const wchar_t* name, IStream* stream)
{
    if (name == nullptr || stream == nullptr)
        return false;
    const int32_t size = stream->GetSize();
    const std::wstring path = ReplaceFilename(name)->GetUtf16();
    if (path.empty()) {
        ShowFileWarning(L"Failed to open file: %s", path.c_str());
        return false;
    }
    wchar_t directory[kPathPartBufferLength];
    if (GetDirectoryPart(path.c_str(), directory))
        CreateDirectory(directory);
    ClearReadOnly(path.c_str());
    const bool written =
        ReplaceWholeFile(path, static_cast<const uint8_t*>(stream->GetData()), static_cast<uint32_t>(size));
    if (!written)
        FileSystemLog(LOG_LEVEL_ERROR, L"Failed to write file: %s", path.c_str());
    return written;
}

bool CVirtualFileSystem::WriteBytes(const wchar_t* name, const void* prefix, uint32_t prefixSize, const void* bytes,
                                    size_t size)
{
    if (size > static_cast<size_t>(kLargestFile) - prefixSize) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Text too large to write: %s", name);
        return false;
    }
    TIntrusivePointer<IStream> stream(Common::IStream_Create(static_cast<int32_t>(prefixSize + size)));
    if (stream.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory writing %s", name);
        return false;
    }
    std::memcpy(stream->GetData(), prefix, prefixSize);
    std::memcpy(stream->GetData() + prefixSize, bytes, size);
    return WriteFile(name, stream.Get());
}

bool CVirtualFileSystem::WriteText(const wchar_t* name, const char* text)
{
    if (name == nullptr || text == nullptr)
        return false;
    return WriteBytes(name, "", 0, text, std::strlen(text));
}

bool CVirtualFileSystem::WriteTextWithBom(const wchar_t* name, const char* text)
{
    if (name == nullptr || text == nullptr)
        return false;
    static const uint8_t bom[3] = {0xEF, 0xBB, 0xBF};
    return WriteBytes(name, bom, 3, text, std::strlen(text));
}

bool CVirtualFileSystem::WriteUnicodeText(const wchar_t* name, const wchar_t* text)
{
    if (name == nullptr || text == nullptr)
        return false;
    static const uint8_t bom[2] = {0xFF, 0xFE};
    return WriteBytes(name, bom, 2, text, std::wcslen(text) * sizeof(wchar_t));
}

bool CVirtualFileSystem::ReadText(const wchar_t* name, char** text)
{
    if (text != nullptr)
        *text = nullptr;
    if (name == nullptr || text == nullptr)
        return false;
    TIntrusivePointer<IStream> stream = ReadFile(name);
    if (stream.IsNull())
        return false;
    const int32_t size = stream->GetSize();
    char* buffer = static_cast<char*>(Common::EngineAlloc(static_cast<uint32_t>(size) + 1));
    if (buffer == nullptr) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory reading %s", name);
        return false;
    }
    std::memcpy(buffer, stream->GetData(), static_cast<size_t>(size));
    buffer[size] = '\0';
    *text = buffer;
    return true;
}

bool CVirtualFileSystem::ReadUnicodeFrom(IStream* stream, const wchar_t* name, wchar_t** text)
{
    if (stream == nullptr || stream->GetSize() < 2)
        return false;
    const uint8_t* bytes = stream->GetData();
    if (bytes[0] != 0xFF || bytes[1] != 0xFE) {
        ShowFileWarning(L"File \"%s\" is expected to be a UNICODE coded file.", name);
        return false;
    }
    const int32_t count = (stream->GetSize() - 2) / 2;
    wchar_t* buffer = static_cast<wchar_t*>(Common::EngineAlloc((static_cast<uint32_t>(count) + 1) * sizeof(wchar_t)));
    if (buffer == nullptr) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory reading %s", name);
        return false;
    }
    std::memcpy(buffer, bytes + 2, static_cast<size_t>(count) * sizeof(wchar_t));
    buffer[count] = L'\0';
    *text = buffer;
    return true;
}

bool CVirtualFileSystem::ReadUnicodeText(const wchar_t* name, wchar_t** text)
{
    if (text != nullptr)
        *text = nullptr;
    if (name == nullptr || text == nullptr)
        return false;
    TIntrusivePointer<IStream> stream = ReadFile(name);
    return ReadUnicodeFrom(stream.Get(), name, text);
}

bool CVirtualFileSystem::ReadUnicodeText2(const wchar_t* name, wchar_t** text)
{
    if (text != nullptr)
        *text = nullptr;
    if (name == nullptr || text == nullptr)
        return false;
    TIntrusivePointer<IStream> stream = ReadFileUnscrambled(name);
    return ReadUnicodeFrom(stream.Get(), name, text);
}

void CVirtualFileSystem::FreeBuffer(char* buffer)
{
    Common::EngineFree(buffer);
}

void CVirtualFileSystem::FreeBuffer2(wchar_t* buffer)
{
    Common::EngineFree(buffer);
}

int32_t CVirtualFileSystem::DetectTextEncoding(const wchar_t* name)
{
    TIntrusivePointer<IStream> stream = ReadFileUnscrambled(name);
    if (stream.IsNull())
        return TEXT_ENCODING_NO_FILE;
    const int32_t size = stream->GetSize();
    const uint8_t* bytes = stream->GetData();
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return TEXT_ENCODING_UTF16LE;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return TEXT_ENCODING_UTF8;
    if (size >= 4 && std::memcmp(bytes, "%TSD", 4) == 0)
        return TEXT_ENCODING_TSD;
    return TEXT_ENCODING_NONE;
}

IVirtualFileSystem* IVirtualFileSystem_GetInstance()
{
    // Made on the first call and never destroyed: raw files, archives and
    // the log use it until the very end of the process.
    static CVirtualFileSystem* instance = new CVirtualFileSystem();
    return instance;
}

} // namespace FileSystem
} // namespace RVGameEngine
