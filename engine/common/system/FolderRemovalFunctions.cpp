#include "engine/common/system/FolderRemovalFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/FolderHandleFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Common {

using FileSystem::GetHandleFinalPath;
using FileSystem::IsSameFinalPath;
using FileSystem::tagListedEntry;

namespace {

constexpr int kMaxFolderDepth = 200;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kEntryAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kUnfollowedFlags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
// An entry opened without following a link. The handle is kept only when the
// entry is no link and the handle leads exactly to the path it was opened by.
struct tagCheckedEntry
{
    CScopedKernelHandle handle;
    bool isFolder = false;
    DWORD attributes = 0;
};

template <typename... Values>
void LogWarning(const wchar_t* format, Values... values)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING, format, values...);
}

// A link when the system opened the link itself, or a folder that is any
// reparse point (a mounted volume is not ours to empty).
bool IsLinkEntry(const FILE_ATTRIBUTE_TAG_INFO& tag)
{
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           ((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || FileSystem::IsNameRedirectingTag(tag.ReparseTag));
}

// Whether the entry is no link and its handle leads exactly to the path it
// was opened by (elsewhere when the system followed a link, here or anywhere
// above); logs why not.
bool IsNoLinkInPlace(HANDLE handle, const FILE_ATTRIBUTE_TAG_INFO& tag, const std::wstring& path)
{
    if (!IsLinkEntry(tag)) {
        const std::wstring finalPath = GetHandleFinalPath(handle);
        if (finalPath.empty()) {
            LogWarning(L"%s cannot be checked to be deleted (system error %lu)", path.c_str(), GetLastError());
            return false;
        }
        if (IsSameFinalPath(finalPath, path))
            return true;
    }
    LogWarning(L"%s is %s, or leads elsewhere: nothing is deleted through it", path.c_str(), FileSystem::kLinkKinds);
    return false;
}

tagCheckedEntry OpenChecked(const std::wstring& path)
{
    tagCheckedEntry entry;
    CScopedKernelHandle handle(
        CreateFileW(path.c_str(), kEntryAccess, kShareAll, nullptr, OPEN_EXISTING, kUnfollowedFlags, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &tag, sizeof tag)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)  // gone meanwhile: nothing to delete
            LogWarning(L"%s cannot be opened to be deleted (system error %lu)", path.c_str(), error);
        return entry;
    }
    if (!IsNoLinkInPlace(handle.Get(), tag, path))
        return entry;
    entry.handle = std::move(handle);
    entry.isFolder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.attributes = tag.FileAttributes;
    return entry;
}

// Where the system has no delete that keeps attributes (before Windows 10
// 1809); any other failure is the entry's own.
bool IsNotSupported(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_CALL_NOT_IMPLEMENTED;
}

// A read-only file of the tree where the system cannot delete a name as it
// is: the attribute belongs to the file under each of its names, so only a
// file with no other name loses it, and gets it back when it stays anyway
// (a running program cannot be deleted either way).
bool DeleteAfterClearingReadOnly(HANDLE handle, const std::wstring& path)
{
    FileSystem::tagEntryIdentity identity;
    if (!FileSystem::GetEntryIdentity(handle, &identity)) {
        LogWarning(L"%s is read-only and cannot be checked for other names: it stays as it is (system error %lu)",
                   path.c_str(), GetLastError());
        return false;
    }
    if (identity.links > 1) {
        LogWarning(L"%s is read-only and has other names: it stays, as clearing the attribute would clear it under "
                   L"every name",
                   path.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (!FileSystem::SetEntryAttributes(handle, identity.attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
        LogWarning(L"%s is read-only and stays as it is (system error %lu)", path.c_str(), GetLastError());
        return false;
    }
    if (FileSystem::MarkForDeletion(handle))
        return true;
    const DWORD error = GetLastError();
    if (FileSystem::SetEntryAttributes(handle, identity.attributes))
        LogWarning(L"%s is read-only and stays as it is (system error %lu)", path.c_str(), error);
    else
        LogWarning(L"%s stays, and its read-only attribute could not be put back (system error %lu)", path.c_str(),
                   GetLastError());
    SetLastError(error);
    return false;
}

// Where an entry is deleted: in the tree being removed, or only asked to go
// when empty (the folders above an installation, which are not ours).
enum DELETE_SCOPE
{
    DELETE_SCOPE_TREE,
    DELETE_SCOPE_IF_EMPTY,
};

// The entry goes when its handle closes. A read-only one goes only where the
// system deletes it as it is (with the delete that keeps attributes) or, for
// a file of the tree with no other name, where the system has no such
// delete at all. A folder's attributes never change: the shell marks
// customised folders read-only ("Program Files" among them), and one that
// stays would lose that mark. A read-only entry of the tree that stays is
// logged; a folder only asked to go when empty stays silently.
bool DeleteThrough(const tagCheckedEntry& entry, const std::wstring& path, DELETE_SCOPE scope)
{
    const HANDLE handle = entry.handle.Get();
    if (FileSystem::MarkForDeletion(handle))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED || (entry.attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return false;
    if (FileSystem::MarkForDeletionKeepingAttributes(handle))
        return true;
    const DWORD error = GetLastError();
    if (scope == DELETE_SCOPE_TREE && !entry.isFolder && IsNotSupported(error))
        return DeleteAfterClearingReadOnly(handle, path);
    if (scope == DELETE_SCOPE_TREE)
        LogWarning(L"%s is read-only and stays as it is (system error %lu)", path.c_str(), error);
    SetLastError(error);
    return false;
}

bool RemoveEntry(const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft);

// Each entry is closed (and so deleted) before the next one is opened.
bool EmptyFolder(const tagCheckedEntry& folder, const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft)
{
    std::vector<tagListedEntry> entries;
    if (depthLeft <= 0 || !FileSystem::ListFolderEntries(folder.handle.Get(), &entries))
        return false;
    bool allGone = true;
    for (const tagListedEntry& entry : entries)
        allGone = RemoveEntry(FileSystem::JoinFinalPath(path, entry.name), removal, depthLeft - 1) && allGone;
    return allGone;
}

bool RemoveCheckedFolder(const tagCheckedEntry& folder, const std::wstring& path, FOLDER_REMOVAL removal,
                         int depthLeft)
{
    const bool emptied = EmptyFolder(folder, path, removal, depthLeft);
    return removal == FOLDER_REMOVAL_FILES_ONLY ? emptied : emptied && DeleteThrough(folder, path, DELETE_SCOPE_TREE);
}

bool RemoveEntry(const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft)
{
    const tagCheckedEntry entry = OpenChecked(path);
    if (!entry.handle)
        return false;
    return entry.isFolder ? RemoveCheckedFolder(entry, path, removal, depthLeft)
                          : DeleteThrough(entry, path, DELETE_SCOPE_TREE);
}

// Where the folder really is, reached from its drive's root one checked
// name at a time: its entries are then compared with that, never with the
// path as spelled. Empty for no path, a drive's root or a folder not reached.
std::wstring RemovableFolderPath(const wchar_t* folder)
{
    if (folder == nullptr || folder[0] == L'\0')
        return std::wstring();
    const std::wstring full = FileSystem::GetFullPath(folder);
    if (full.empty() || full.size() <= FileSystem::GetPathRootLength(full.c_str()))
        return std::wstring();
    CScopedKernelHandle checked;
    DWORD error = ERROR_SUCCESS;
    const FileSystem::CHECKED_REACH reach =
        FileSystem::OpenCheckedFolderPath(full.c_str(), FileSystem::FOLDER_MISSING_FAILS, &checked, nullptr, &error);
    if (reach == FileSystem::CHECKED_REACH_LINK) {
        LogWarning(L"%s is reached through %s: nothing is deleted through it", full.c_str(), FileSystem::kLinkKinds);
        return std::wstring();
    }
    std::wstring finalPath = reach == FileSystem::CHECKED_REACH_DONE ? GetHandleFinalPath(checked.Get())
                                                                     : std::wstring();
    if (reach == FileSystem::CHECKED_REACH_DONE && finalPath.empty())
        error = GetLastError();
    if (finalPath.empty() && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        LogWarning(L"%s cannot be reached to be deleted (system error %lu)", full.c_str(), error);
    return finalPath;
}

} // namespace

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
    if (!entry.handle || !entry.isFolder)
        return false;
    if (DeleteThrough(entry, path, DELETE_SCOPE_IF_EMPTY))
        return true;
    const DWORD error = GetLastError();
    // Not empty, or read-only where the system removes no folder as it is:
    // left, as asked.
    if (error != ERROR_DIR_NOT_EMPTY && (entry.attributes & FILE_ATTRIBUTE_READONLY) == 0)
        LogWarning(L"%s cannot be removed (system error %lu)", path.c_str(), error);
    return false;
}

} // namespace Common
} // namespace RVGameEngine
