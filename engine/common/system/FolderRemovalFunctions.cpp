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

// A link when the system opened the link itself, or a folder that is any
// reparse point (a mounted volume is not ours to empty); a final path
// elsewhere when it followed one (here or anywhere above).
bool IsLinkOrLeadsElsewhere(HANDLE handle, DWORD attributes, const std::wstring& path)
{
    const bool reparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return (reparse && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || FileSystem::IsNameRedirectingEntry(handle))) ||
           !IsSameFinalPath(GetHandleFinalPath(handle), path);
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
            FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                    L"%s cannot be opened to be deleted (system error %lu)",
                                                    path.c_str(), error);
        return entry;
    }
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
    if (FileSystem::MarkForDeletion(entry.handle.Get()))
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
           FileSystem::MarkForDeletion(entry.handle.Get());
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
    return removal == FOLDER_REMOVAL_FILES_ONLY ? emptied : emptied && DeleteThrough(folder);
}

bool RemoveEntry(const std::wstring& path, FOLDER_REMOVAL removal, int depthLeft)
{
    const tagCheckedEntry entry = OpenChecked(path);
    if (!entry.handle)
        return false;
    return entry.isFolder ? RemoveCheckedFolder(entry, path, removal, depthLeft) : DeleteThrough(entry);
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
    if (reach == FileSystem::CHECKED_REACH_LINK)
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s is reached through a link: nothing is deleted through it",
                                                full.c_str());
    else if (reach == FileSystem::CHECKED_REACH_FAILED && error != ERROR_FILE_NOT_FOUND &&
             error != ERROR_PATH_NOT_FOUND)
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s cannot be reached to be deleted (system error %lu)", full.c_str(),
                                                error);
    return reach == FileSystem::CHECKED_REACH_DONE ? GetHandleFinalPath(checked.Get()) : std::wstring();
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
    if (DeleteThrough(entry))
        return true;
    const DWORD error = GetLastError();
    if (error != ERROR_DIR_NOT_EMPTY)  // not empty: left, as asked
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s cannot be removed (system error %lu)", path.c_str(), error);
    return false;
}

} // namespace Common
} // namespace RVGameEngine
