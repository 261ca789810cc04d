#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/FolderHandleFunctions.h"

#include <windows.h>

#include <cstddef>

namespace RVGameEngine {
namespace FileSystem {

// Folders reached one name at a time, each from its checked parent's
// handle, never through a link: what the program writes as administrator in
// folders other users may write to. A folder made here is new: nothing can
// have been planted in it. None of these uses the heap (the crash filter
// calls them).

enum CHECKED_REACH
{
    CHECKED_REACH_DONE = 0,
    CHECKED_REACH_LINK = 1,    // a link on the way, or an entry not where its name says
    CHECKED_REACH_FAILED = 2,  // with the system error
};

enum FOLDER_MISSING
{
    FOLDER_MISSING_FAILS = 0,
    FOLDER_MISSING_MADE = 1,
};

// What a checked folder handle may do: list, open below, read attributes.
constexpr DWORD kCheckedFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// The longest current folder the program works in, in UTF-16 units.
constexpr size_t kCurrentFolderCapacity = 2048;

// How far a check of an entry against its folder's listing lets a walk go:
// another entry or a link is refused as a link, a failed query fails (the
// error is the one the check set).
RV_API CHECKED_REACH CheckedReachOf(ENTRY_MATCH match);

// The folder of that one-part name in the parent: opened without following
// a link, and kept only when it is the entry the parent lists under the name
// and no link (IsNameRedirectingEntry: a junction or a volume mounted in a
// folder is one too; a placeholder that keeps its name in place is followed,
// and kept only when what the open returns is that listed entry); made when
// missing and asked for. `made` (may be null) tells whether it was made
// here. On a link the error is ERROR_CANT_ACCESS_FILE; a query about the
// entry that fails (its folder's listing, or the open through a placeholder,
// whatever its code) stops it as failed, with that query's own error.
RV_API CHECKED_REACH OpenCheckedFolder(HANDLE parent, const wchar_t* name, FOLDER_MISSING missing,
                                       Common::CScopedKernelHandle* folder, bool* made, DWORD* error);

// A full path ("C:\...", "\\server\share\..."; either separator) from its
// root down, every part by OpenCheckedFolder. `stopped` (may be null) gets
// the length of the path up to and with the part that stopped the walk.
// A drive letter that maps another folder is walked as it is spelled: no
// part's name is compared with where the handle ends up.
RV_API CHECKED_REACH OpenCheckedFolderPath(const wchar_t* full, FOLDER_MISSING missing,
                                           Common::CScopedKernelHandle* folder, size_t* stopped, DWORD* error);

// The process's current folder, walked the same way (never made).
RV_API CHECKED_REACH OpenCheckedCurrentFolder(Common::CScopedKernelHandle* folder, DWORD* error);

} // namespace FileSystem
} // namespace RVGameEngine
