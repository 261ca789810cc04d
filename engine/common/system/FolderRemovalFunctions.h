#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

// The one way the program deletes folder trees. It runs with administrator
// rights in folders other users can write to, so it never acts through a
// link (a symbolic link, a junction or a volume mounted in a folder) in any
// part of a path, nor enters a folder that is any reparse point:
// - the folder given is reached from its drive's root one checked name at a
//   time; each entry below it is opened without following links and kept
//   only when it is no link and still resolves to exactly where its checked
//   folder really is (so a folder swapped for a link after it was listed is
//   noticed, and a drive letter that maps another folder is no obstacle);
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
// whole tree, the folders. No folder's attributes ever change: a read-only
// folder goes only where the system removes it as it is, and otherwise
// stays, logged. A read-only file loses its attribute only where the system
// cannot delete a name as it is at all, and only when it has no other name
// (a hard link in the tree to a file elsewhere stays, logged); when it still
// cannot be deleted, it gets the attribute back. Any other failure leaves a
// file as it is. True when nothing that was to go is left.
RV_API bool RemoveFolderTree(const wchar_t* folder, FOLDER_REMOVAL removal);
// Removes the folder when it is empty and no link; true when it went. A
// read-only folder goes only where the system removes it as it is, and
// otherwise stays unchanged and unlogged, as a folder that is not empty.
RV_API bool RemoveEmptyFolder(const wchar_t* folder);

} // namespace Common
} // namespace RVGameEngine
