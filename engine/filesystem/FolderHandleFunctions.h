#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

// Entries reached through their folder's own handle, one name at a time. A
// path can be redirected by a link planted in any of its folders between a
// check and a use; a folder's handle cannot: what is opened relative to it
// lies in that very folder, wherever it has been moved since. A link at the
// name itself is not followed where the system allows it (on Windows), and
// is recognised afterwards where it does not (see IsListedEntry).

enum ENTRY_KIND
{
    ENTRY_KIND_FOLDER = 0,
    ENTRY_KIND_FILE = 1,
};

enum ENTRY_OPEN
{
    ENTRY_OPEN_EXISTING = 0,  // fails with ERROR_FILE_NOT_FOUND when missing
    ENTRY_OPEN_NEW = 1,       // makes it; fails with ERROR_ALREADY_EXISTS when any entry has the name
};

// What a handle's entry is. (No volume: the listing it is checked against
// has none, and another volume is only reached through a reparse point,
// which IsOpenedListedEntry checks with the volume.)
struct tagEntryIdentity
{
    uint64_t index = 0;
    DWORD links = 0;
    DWORD attributes = 0;
    uint64_t size = 0;
};

// An entry as its folder lists it.
struct tagListedEntry
{
    std::wstring name;
    uint64_t index = 0;
    DWORD attributes = 0;
};

// Every entry of the folder but "." and "..", read through its own handle
// (which needs list access), so that they are the entries of that very
// folder. The handle's listing starts again from the beginning each time.
RV_API bool ListFolderEntries(HANDLE folder, std::vector<tagListedEntry>* entries);

// The folder's entry of that one-part name (no separator), opened or made
// for the access asked (synchronous; a file shared for reading only), or
// null with the system error.
RV_API HANDLE OpenFolderEntry(HANDLE folder, const wchar_t* name, ENTRY_KIND kind, ENTRY_OPEN open,
                              DWORD access, DWORD* error);
// A second handle of the same folder, for listing.
RV_API HANDLE ReopenFolder(HANDLE folder);
// In one query: asking for the volume too costs many times more on some systems.
RV_API bool GetEntryIdentity(HANDLE handle, tagEntryIdentity* identity);
// Whether the entry listed under that name through the folder's own handle
// is the entry the handle leads to. Some systems follow a link even when
// asked not to: the listing then shows the name as a reparse point where the
// handle has none, or (a link swapped in and out again) as another entry
// than the one opened. A reparse point opened as itself passes: whether it
// may be passed is the caller's question (IsNameRedirectingEntry).
// Names are one part (no separator, no wild card). These use no heap.
RV_API bool IsListedEntry(HANDLE folder, const wchar_t* name, const tagEntryIdentity& opened);
// The folder that a reparse point keeping its name in place (a cloud-file
// placeholder) stands for, opened through it. Nothing held beforehand keeps
// the name from being swapped for a link meanwhile, so the handle the open
// returns is kept only when it is the very entry the folder listed under
// that name (IsOpenedListedEntry); null with the system error otherwise:
// ERROR_CANT_ACCESS_FILE when it is another entry, or a link, and the failed
// query's own error when what the handle is cannot be read.
RV_API HANDLE OpenFollowedFolder(HANDLE folder, const wchar_t* name, uint64_t listedIndex, DWORD access,
                                 DWORD* error);
// Whether a handle opened below the folder under that one-part name is the
// entry listed there with that file id: on the folder's own volume, with
// that id, no link, and where the name leads from the folder (its final path
// is the folder's joined with the name, so the name is the one the folder
// lists in full, not a short 8.3 one). Neither a volume serial nor a file id
// is unique (whoever formats a disk writes its serial, an image can place a
// folder at any id, and some file systems reuse ids), so none of them alone
// tells. Read from the opened handle after the open, never from what was
// checked before. False with ERROR_CANT_ACCESS_FILE when it is another entry
// or a link, with the query's own system error when one fails. Uses no heap.
RV_API bool IsOpenedListedEntry(HANDLE folder, HANDLE opened, const wchar_t* name, uint64_t listedIndex,
                                DWORD* error);
// The handle's entry goes when its last handle closes (the handle needs
// delete access); false with the system error when it cannot.
RV_API bool MarkForDeletion(HANDLE handle);
// The same for a read-only entry too, without changing anything of the file
// (its other names keep it as it is); false with the system error where the
// system cannot (before Windows 10 1809, and under Wine 8:
// ERROR_INVALID_PARAMETER).
RV_API bool MarkForDeletionKeepingAttributes(HANDLE handle);

} // namespace FileSystem
} // namespace RVGameEngine
