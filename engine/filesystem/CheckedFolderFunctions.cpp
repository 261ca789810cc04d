#include "engine/filesystem/CheckedFolderFunctions.h"

#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/FolderHandleFunctions.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <cwchar>
#include <utility>

namespace RVGameEngine {
namespace FileSystem {

using Common::CScopedKernelHandle;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A folder that another program makes and removes under our hands as often
// as this is taken for a link (it is one, under some systems: one leading
// nowhere can be neither opened nor made).
constexpr int kOpenAttempts = 4;
constexpr size_t kNamePartCapacity = 256;

bool IsSeparator(wchar_t unit)
{
    return unit == L'\\' || unit == L'/';
}

CHECKED_REACH Refused(DWORD* error)
{
    *error = ERROR_CANT_ACCESS_FILE;
    return CHECKED_REACH_LINK;
}

// The folder just opened at the name, checked; a reparse point that keeps
// its name in place (a placeholder) is replaced by what it stands for.
CHECKED_REACH CheckOpenedFolder(HANDLE parent, const wchar_t* name, CScopedKernelHandle* folder, DWORD* error);

// Nothing is handed back but a checked folder.
CHECKED_REACH Checked(HANDLE parent, const wchar_t* name, CScopedKernelHandle* folder, DWORD* error)
{
    const CHECKED_REACH reach = CheckOpenedFolder(parent, name, folder, error);
    if (reach != CHECKED_REACH_DONE)
        folder->Close();
    return reach;
}

CHECKED_REACH CheckOpenedFolder(HANDLE parent, const wchar_t* name, CScopedKernelHandle* folder, DWORD* error)
{
    tagEntryIdentity identity;
    if (!GetEntryIdentity(folder->Get(), &identity)) {
        *error = GetLastError();
        return CHECKED_REACH_FAILED;
    }
    const ENTRY_MATCH listed = MatchListedEntry(parent, name, identity, error);
    if (listed != ENTRY_MATCH_LISTED)
        return CheckedReachOf(listed);
    if ((identity.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return CHECKED_REACH_DONE;
    bool redirecting = true;
    if (!QueryNameRedirection(folder->Get(), &redirecting)) {
        *error = GetLastError();
        return CHECKED_REACH_FAILED;
    }
    if (redirecting)
        return Refused(error);
    ENTRY_MATCH followed = ENTRY_MATCH_FAILED;
    folder->Reset(OpenFollowedFolder(parent, name, identity.index, kCheckedFolderAccess, &followed, error));
    return CheckedReachOf(followed);
}

} // namespace

CHECKED_REACH CheckedReachOf(ENTRY_MATCH match)
{
    switch (match) {
    case ENTRY_MATCH_LISTED:
        return CHECKED_REACH_DONE;
    case ENTRY_MATCH_OTHER:
        return CHECKED_REACH_LINK;
    case ENTRY_MATCH_FAILED:
        break;
    }
    return CHECKED_REACH_FAILED;
}

CHECKED_REACH OpenCheckedFolder(HANDLE parent, const wchar_t* name, FOLDER_MISSING missing,
                                CScopedKernelHandle* folder, bool* made, DWORD* error)
{
    if (made != nullptr)
        *made = false;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        folder->Reset(
            OpenFolderEntry(parent, name, ENTRY_KIND_FOLDER, ENTRY_OPEN_EXISTING, kCheckedFolderAccess, error));
        if (*folder)
            return Checked(parent, name, folder, error);
        if (*error != ERROR_FILE_NOT_FOUND || missing != FOLDER_MISSING_MADE)
            return CHECKED_REACH_FAILED;
        // Made here, it can be nothing else than a new folder.
        folder->Reset(OpenFolderEntry(parent, name, ENTRY_KIND_FOLDER, ENTRY_OPEN_NEW, kCheckedFolderAccess, error));
        if (*folder) {
            if (made != nullptr)
                *made = true;
            return CHECKED_REACH_DONE;
        }
        if (*error != ERROR_ALREADY_EXISTS)
            return CHECKED_REACH_FAILED;
    }
    return Refused(error);
}

CHECKED_REACH OpenCheckedFolderPath(const wchar_t* full, FOLDER_MISSING missing, CScopedKernelHandle* folder,
                                    size_t* stopped, DWORD* error)
{
    size_t ignored = 0;
    size_t* reached = stopped != nullptr ? stopped : &ignored;
    *reached = 0;
    const size_t rootLength = GetPathRootLength(full);
    wchar_t part[MAX_PATH + 1];
    if (rootLength == 0 || rootLength > MAX_PATH) {
        *error = ERROR_INVALID_NAME;
        return CHECKED_REACH_FAILED;
    }
    wmemcpy(part, full, rootLength);
    part[rootLength] = L'\0';
    // A root can be no link; a mapped drive's root is the folder it maps.
    folder->Reset(CreateFileW(part, kCheckedFolderAccess | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!*folder) {
        *error = GetLastError();
        return CHECKED_REACH_FAILED;
    }
    size_t at = rootLength;
    while (full[at] != L'\0') {
        size_t end = at;
        while (full[end] != L'\0' && !IsSeparator(full[end]))
            ++end;
        *reached = end;
        if (end - at >= kNamePartCapacity) {
            folder->Close();
            *error = ERROR_INVALID_NAME;
            return CHECKED_REACH_FAILED;
        }
        if (end > at) {
            wmemcpy(part, full + at, end - at);
            part[end - at] = L'\0';
            CScopedKernelHandle next;
            const CHECKED_REACH reach = OpenCheckedFolder(folder->Get(), part, missing, &next, nullptr, error);
            if (reach != CHECKED_REACH_DONE) {
                folder->Close();
                return reach;
            }
            *folder = std::move(next);
        }
        at = full[end] != L'\0' ? end + 1 : end;
    }
    return CHECKED_REACH_DONE;
}

CHECKED_REACH OpenCheckedCurrentFolder(CScopedKernelHandle* folder, DWORD* error)
{
    wchar_t current[kCurrentFolderCapacity];
    DWORD length = GetCurrentDirectoryW(kCurrentFolderCapacity, current);
    if (length == 0 || length >= kCurrentFolderCapacity) {
        *error = length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        return CHECKED_REACH_FAILED;
    }
    // Spelled with long names, as its folders list them.
    wchar_t longForm[kCurrentFolderCapacity];
    length = GetLongPathNameW(current, longForm, kCurrentFolderCapacity);
    return OpenCheckedFolderPath(length != 0 && length < kCurrentFolderCapacity ? longForm : current,
                                 FOLDER_MISSING_FAILS, folder, nullptr, error);
}

} // namespace FileSystem
} // namespace RVGameEngine
