#include "engine/common/system/FolderRemovalFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderHandleFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr int kMaxFolderDepth = 200;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kEntryAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kUnfollowedFlags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
constexpr const wchar_t* kLongPrefix = L"\\\\?\\";
constexpr const wchar_t* kLongUncPrefix = L"\\\\?\\UNC\\";

// The path as the system reports where a handle leads: "\\?\C:\..." or
// "\\?\UNC\server\share\...". It also opens paths longer than MAX_PATH.
std::wstring AsFinalPath(const std::wstring& full)
{
    if (full.empty() || full.compare(0, 4, kLongPrefix) == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return kLongUncPrefix + full.substr(2);
    return kLongPrefix + full;
}

bool IsDriveRoot(const std::wstring& full)
{
    return full.size() <= 3 && full.size() >= 2 && full[1] == L':';
}

// An entry opened without following a link. The handle is kept only when the
// entry is no link and the handle leads exactly to the path it was opened by.
struct tagCheckedEntry
{
    CScopedKernelHandle handle;
    bool isFolder = false;
    DWORD attributes = 0;
};

// A reparse point when the system opened the link itself; a final path
// elsewhere when it followed one (here or anywhere above).
bool IsLinkOrLeadsElsewhere(HANDLE handle, DWORD attributes, const std::wstring& path)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !IsSameFinalPath(GetHandleFinalPath(handle), path);
}

tagCheckedEntry OpenChecked(const std::wstring& path)
{
    tagCheckedEntry entry;
    CScopedKernelHandle handle(
        CreateFileW(path.c_str(), kEntryAccess, kShareAll, nullptr, OPEN_EXISTING, kUnfollowedFlags, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &tag, sizeof tag))
        return entry;
    if (IsLinkOrLeadsElsewhere(handle.Get(), tag.FileAttributes, path)) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s is a link or leads elsewhere: nothing is deleted through it",
                                                path.c_str());
        return entry;
    }
    entry.handle = std::move(handle);
    entry.isFolder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.attributes = tag.FileAttributes;
    return entry;
}

// The entry goes when its handle closes. A read-only one loses that
// attribute first: the whole tree is to go.
bool DeleteThrough(const tagCheckedEntry& entry)
{
    if (MarkForDeletion(entry.handle.Get()))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED || (entry.attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return false;
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(entry.handle.Get(), FileBasicInfo, &basic, sizeof basic))
        return false;
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(entry.handle.Get(), FileBasicInfo, &basic, sizeof basic) &&
           MarkForDeletion(entry.handle.Get());
}

bool RemoveEntry(const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft);

// Each entry is closed (and so deleted) before the next one is opened.
bool EmptyFolder(const tagCheckedEntry& folder, const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft)
{
    std::vector<tagListedEntry> entries;
    if (depthLeft <= 0 || !ListFolderEntries(folder.handle.Get(), &entries))
        return false;
    bool allGone = true;
    for (const tagListedEntry& entry : entries)
        allGone = RemoveEntry(path + L"\\" + entry.name, removal, depthLeft - 1) && allGone;
    return allGone;
}

bool RemoveCheckedFolder(const tagCheckedEntry& folder, const std::wstring& path, FOLDER_REMOVAL removal,
                         int depthLeft)
{
    const bool emptied = EmptyFolder(folder, path, removal, depthLeft);
    return removal == FOLDER_REMOVAL_FILES_ONLY ? emptied : emptied && DeleteThrough(folder);
}

bool RemoveEntry(const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft)
{
    const tagCheckedEntry entry = OpenChecked(path);
    if (!entry.handle)
        return false;
    return entry.isFolder ? RemoveCheckedFolder(entry, path, removal, depthLeft) : DeleteThrough(entry);
}

// The folder's full path in final-path form; empty for no path or a drive's root.
std::wstring RemovableFolderPath(const wchar_t* folder)
{
    if (folder == nullptr || folder[0] == L'\0')
        return std::wstring();
    const std::wstring full = GetFullPath(folder);
    return full.empty() || IsDriveRoot(full) ? std::wstring() : AsFinalPath(full);
}

} // namespace

std::wstring GetFullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path, needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    // A final path spells every part out in full, never as a short 8.3 name.
    const DWORD longNeeded = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longNeeded != 0) {
        std::wstring longForm(longNeeded, L'\0');
        const DWORD longLength = GetLongPathNameW(full.c_str(), &longForm[0], longNeeded);
        if (longLength != 0 && longLength < longNeeded) {
            longForm.resize(longLength);
            full = longForm;
        }
    }
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

std::wstring GetUnlinkedFinalPath(const wchar_t* path)
{
    return AsFinalPath(GetFullPath(path));
}

std::wstring GetHandleFinalPath(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    return std::wstring();
}

std::wstring GetUnfollowedFinalPath(const wchar_t* path)
{
    const CScopedKernelHandle handle(CreateFileW(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                                 kUnfollowedFlags, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return std::wstring();
    return GetHandleFinalPath(handle.Get());
}

bool IsSameFinalPath(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool RemoveFolderTree(const wchar_t* folder, FOLDER_REMOVAL removal)
{
    const std::wstring path = RemovableFolderPath(folder);
    const tagCheckedEntry entry = path.empty() ? tagCheckedEntry() : OpenChecked(path);
    return entry.handle && entry.isFolder && RemoveCheckedFolder(entry, path, removal, kMaxFolderDepth);
}

bool RemoveEmptyFolder(const wchar_t* folder)
{
    const std::wstring path = RemovableFolderPath(folder);
    const tagCheckedEntry entry = path.empty() ? tagCheckedEntry() : OpenChecked(path);
    return entry.handle && entry.isFolder && DeleteThrough(entry);
}

} // namespace Common
} // namespace RVGameEngine
