#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <string>

namespace RVGameEngine {
namespace Common {

// The one way the program deletes folder trees. It runs with administrator
// rights in folders other users can write to, so it never acts through a
// link (symbolic link, junction or mount point) in any part of a path:
// - each folder and each entry is opened without following links and kept
//   only when it is no link and still resolves to exactly the path it was
//   reached by (so a link anywhere above it, or a folder swapped for a link
//   after it was listed, is noticed);
// - entries are listed through the folder's own handle and deleted through
//   their own checked handles;
// - a link is neither entered nor deleted (on some systems deleting a link
//   by its name deletes what it points to); it is logged and stays, and so
//   do the folders above it.

// What a tree removal takes away besides the files.
enum FOLDER_REMOVAL
{
    FOLDER_REMOVAL_FILES_ONLY = 0,  // every folder stays, the given one too
    FOLDER_REMOVAL_WHOLE_TREE = 1,  // emptied folders go, the given one last
};

// Deletes the files below the folder (read-only ones too) and, for the
// whole tree, the folders. True when nothing that was to go is left.
RV_API bool RemoveFolderTree(const wchar_t* folder, FOLDER_REMOVAL removal);
// Removes the folder when it is empty and no link; true when it went.
RV_API bool RemoveEmptyFolder(const wchar_t* folder);

// The absolute form of a path, "." and ".." resolved and existing parts in
// their long names, without a trailing separator (a drive's root keeps its
// own); empty when it has none. Existing parts are looked up, so a name from
// outside is checked to be no network or device path first.
RV_API std::wstring GetFullPath(const wchar_t* path);
// Where a handle opened by that path leads when no link is on its way, in
// the form GetHandleFinalPath gives; empty when the path has no full form.
RV_API std::wstring GetUnlinkedFinalPath(const wchar_t* path);

// The same rule for writers. Where the handle's entry really is, every link
// on the way resolved: "\\?\C:\..." or "\\?\UNC\server\...", or empty.
RV_API std::wstring GetHandleFinalPath(HANDLE handle);
// Where the entry at the path really is, opened without following a link
// at its end; empty when it cannot be opened or is itself a reparse point.
RV_API std::wstring GetUnfollowedFinalPath(const wchar_t* path);
// Whether two final paths name the same entry (letter case aside); false
// when either is empty.
RV_API bool IsSameFinalPath(const std::wstring& a, const std::wstring& b);

} // namespace Common
} // namespace RVGameEngine
