#include "engine/filesystem/FolderHandleFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <windows.h>
#include <winternl.h>

#include <cwchar>

extern "C" {
// In ntdll's import library, but not declared by the system headers at hand.
NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apcRoutine, PVOID apcContext,
                                    PIO_STATUS_BLOCK ioStatus, PVOID information, ULONG length,
                                    FILE_INFORMATION_CLASS informationClass, BOOLEAN returnSingleEntry,
                                    PUNICODE_STRING fileName, BOOLEAN restartScan);
}

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr FILE_INFORMATION_CLASS kIdBothDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(37);
// One record with a name of the longest length a part may have.
constexpr size_t kListingBufferBytes = 64 * 1024;
constexpr size_t kListingRecordBytes = sizeof(FILE_ID_BOTH_DIR_INFORMATION) + 512 * sizeof(wchar_t);
// What a listing says when it has nothing under the name asked for.
constexpr NTSTATUS kStatusNoSuchFile = static_cast<NTSTATUS>(0xC000000FL);
constexpr NTSTATUS kStatusNoMoreFiles = static_cast<NTSTATUS>(0x80000006L);

// The disposition that takes flags (Windows 10 1607 on), as documented;
// the headers of the Windows version the program is built for lack it.
constexpr FILE_INFO_BY_HANDLE_CLASS kDispositionFlagsInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
// Windows 10 1809 on: a read-only entry goes as it is.
constexpr DWORD kDispositionIgnoringReadOnly = 0x10;
struct tagDispositionFlags
{
    DWORD flags;
};

using Common::CScopedKernelHandle;

bool IsOneNamePart(const wchar_t* name)
{
    if (name == nullptr)
        return false;
    const size_t length = wcslen(name);
    // A wild card would make the listing match other names.
    return length != 0 && length < 256 && wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0 &&
           wcspbrk(name, L"\\/*?<>\"") == nullptr;
}

UNICODE_STRING CountedString(const wchar_t* text)
{
    UNICODE_STRING counted;
    counted.Buffer = const_cast<wchar_t*>(text);
    counted.Length = static_cast<USHORT>(wcslen(text) * sizeof(wchar_t));
    counted.MaximumLength = counted.Length;
    return counted;
}

HANDLE OpenRelative(HANDLE folder, const wchar_t* name, DWORD access, DWORD share, ULONG disposition,
                    ULONG options, DWORD* error)
{
    UNICODE_STRING counted = CountedString(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE opened = nullptr;
    const NTSTATUS result =
        NtCreateFile(&opened, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                     disposition, options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
    if (NT_SUCCESS(result)) {
        *error = ERROR_SUCCESS;
        return opened;
    }
    *error = RtlNtStatusToDosError(result);
    return nullptr;
}

HANDLE ReopenFolder(HANDLE folder, DWORD* error)
{
    return OpenRelative(folder, L"", FILE_LIST_DIRECTORY, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, error);
}

// Refused: the code that callers pass on for a link, never read back to tell why.
ENTRY_MATCH Other(DWORD* error)
{
    *error = ERROR_CANT_ACCESS_FILE;
    return ENTRY_MATCH_OTHER;
}

ENTRY_MATCH QueryFailed(DWORD systemError, DWORD* error)
{
    *error = systemError;
    return ENTRY_MATCH_FAILED;
}

} // namespace

HANDLE OpenFolderEntry(HANDLE folder, const wchar_t* name, ENTRY_KIND kind, ENTRY_OPEN open, DWORD access,
                       DWORD* error)
{
    if (!IsOneNamePart(name)) {
        *error = ERROR_INVALID_NAME;
        return nullptr;
    }
    const bool isFolder = kind == ENTRY_KIND_FOLDER;
    // A file being written is shared for reading only.
    return OpenRelative(folder, name, access, isFolder ? kShareAll : FILE_SHARE_READ,
                        open == ENTRY_OPEN_NEW ? FILE_CREATE : FILE_OPEN,
                        isFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, error);
}

bool ListFolderEntries(HANDLE folder, std::vector<tagListedEntry>* entries)
{
    std::vector<uint64_t> buffer(kListingBufferBytes / sizeof(uint64_t));  // aligned for the records
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(folder, kind, buffer.data(), static_cast<DWORD>(kListingBufferBytes))) {
        kind = FileIdBothDirectoryInfo;
        const uint8_t* at = reinterpret_cast<const uint8_t*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            tagListedEntry entry;
            entry.name.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
            entry.index = static_cast<uint64_t>(info->FileId.QuadPart);
            entry.attributes = info->FileAttributes;
            if (entry.name != L"." && entry.name != L"..")
                entries->push_back(std::move(entry));
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

HANDLE ReopenFolder(HANDLE folder)
{
    DWORD error = ERROR_SUCCESS;
    return ReopenFolder(folder, &error);
}

bool GetEntryIdentity(HANDLE handle, tagEntryIdentity* identity)
{
    // Room for the fixed part and a name; a longer name only cuts the name.
    uint64_t buffer[(sizeof(FILE_ALL_INFORMATION) + MAX_PATH * sizeof(wchar_t)) / sizeof(uint64_t) + 1];
    IO_STATUS_BLOCK status{};
    const NTSTATUS result =
        NtQueryInformationFile(handle, &status, buffer, sizeof buffer, static_cast<FILE_INFORMATION_CLASS>(18));
    if (!NT_SUCCESS(result) && result != static_cast<NTSTATUS>(0x80000005L)) {  // a name cut short
        SetLastError(RtlNtStatusToDosError(result));
        return false;
    }
    const auto* all = reinterpret_cast<const FILE_ALL_INFORMATION*>(buffer);
    identity->index = static_cast<uint64_t>(all->InternalInformation.IndexNumber.QuadPart);
    identity->links = all->StandardInformation.NumberOfLinks;
    identity->attributes = all->BasicInformation.FileAttributes;
    identity->size = static_cast<uint64_t>(all->StandardInformation.EndOfFile.QuadPart);
    return true;
}

ENTRY_MATCH MatchListedEntry(HANDLE folder, const wchar_t* name, const tagEntryIdentity& opened, DWORD* error)
{
    if (!IsOneNamePart(name))
        return QueryFailed(ERROR_INVALID_NAME, error);
    // A listing keeps the first name it was asked for: a fresh handle each time.
    DWORD reopenError = ERROR_SUCCESS;
    const CScopedKernelHandle listing(ReopenFolder(folder, &reopenError));
    if (!listing)
        return QueryFailed(reopenError, error);
    uint64_t record[kListingRecordBytes / sizeof(uint64_t) + 1];  // aligned for the record
    UNICODE_STRING pattern = CountedString(name);
    IO_STATUS_BLOCK status{};
    const NTSTATUS result = NtQueryDirectoryFile(listing.Get(), nullptr, nullptr, nullptr, &status, record,
                                                 sizeof record, kIdBothDirectoryInformation, TRUE, &pattern, TRUE);
    // The listing was read, and nothing is under the name any more.
    if (result == kStatusNoSuchFile || result == kStatusNoMoreFiles)
        return Other(error);
    if (!NT_SUCCESS(result))
        return QueryFailed(RtlNtStatusToDosError(result), error);
    const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFORMATION*>(record);
    // A reparse point listed where the handle has none was followed.
    const bool followed = (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                          (opened.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    // The name may be the entry's short (8.3) one, as a current folder may be spelled.
    const int length = static_cast<int>(wcslen(name));
    const bool named =
        CompareStringOrdinal(entry->FileName, static_cast<int>(entry->FileNameLength / sizeof(wchar_t)), name,
                             length, TRUE) == CSTR_EQUAL ||
        (entry->ShortNameLength != 0 &&
         CompareStringOrdinal(entry->ShortName, entry->ShortNameLength / sizeof(wchar_t), name, length, TRUE) ==
             CSTR_EQUAL);
    if (followed || !named || static_cast<uint64_t>(entry->FileId.QuadPart) != opened.index)
        return Other(error);
    *error = ERROR_SUCCESS;
    return ENTRY_MATCH_LISTED;
}

HANDLE OpenFollowedFolder(HANDLE folder, const wchar_t* name, uint64_t listedIndex, DWORD access,
                          ENTRY_MATCH* match, DWORD* error)
{
    if (!IsOneNamePart(name)) {
        *match = QueryFailed(ERROR_INVALID_NAME, error);
        return nullptr;
    }
    UNICODE_STRING counted = CountedString(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE opened = nullptr;
    const NTSTATUS result = NtCreateFile(&opened, access | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &status,
                                         nullptr, 0, kShareAll, FILE_OPEN,
                                         FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    // Whatever its code: a placeholder whose filter driver is missing fails
    // with the one a refusal also gives.
    if (!NT_SUCCESS(result)) {
        *match = QueryFailed(RtlNtStatusToDosError(result), error);
        return nullptr;
    }
    CScopedKernelHandle followed(opened);
    *match = MatchOpenedListedEntry(folder, followed.Get(), name, listedIndex, error);
    return *match == ENTRY_MATCH_LISTED ? followed.Release() : nullptr;
}

ENTRY_MATCH MatchOpenedListedEntry(HANDLE folder, HANDLE opened, const wchar_t* name, uint64_t listedIndex,
                                   DWORD* error)
{
    if (!IsOneNamePart(name))
        return QueryFailed(ERROR_INVALID_NAME, error);
    BY_HANDLE_FILE_INFORMATION parent{};
    BY_HANDLE_FILE_INFORMATION entry{};
    bool redirecting = true;
    wchar_t parentPath[kFinalPathCapacity];
    wchar_t entryPath[kFinalPathCapacity];
    if (!GetFileInformationByHandle(folder, &parent) || !GetFileInformationByHandle(opened, &entry) ||
        !QueryNameRedirection(opened, &redirecting) || !ReadHandleFinalPath(folder, parentPath) ||
        !ReadHandleFinalPath(opened, entryPath))
        return QueryFailed(GetLastError(), error);
    const uint64_t index = (static_cast<uint64_t>(entry.nFileIndexHigh) << 32) | entry.nFileIndexLow;
    if (entry.dwVolumeSerialNumber != parent.dwVolumeSerialNumber || index != listedIndex || redirecting ||
        !IsFinalPathOfName(entryPath, parentPath, name))
        return Other(error);
    *error = ERROR_SUCCESS;
    return ENTRY_MATCH_LISTED;
}

bool MarkForDeletion(HANDLE handle)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool MarkForDeletionKeepingAttributes(HANDLE handle)
{
    tagDispositionFlags disposition{kDispositionDelete | kDispositionIgnoringReadOnly};
    return SetFileInformationByHandle(handle, kDispositionFlagsInfo, &disposition, sizeof disposition) != 0;
}

bool SetEntryAttributes(HANDLE handle, DWORD attributes)
{
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    // A time of 0 leaves that time as it is.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes & kSettable;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

} // namespace FileSystem
} // namespace RVGameEngine
