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
// is recognised afterwards where it does not (see MatchListedEntry).

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
// which MatchOpenedListedEntry checks with the volume.)
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

// What checking an opened entry against its folder's listing found. Whether
// the entry was refused is told apart from the system error: a query that
// fails (a folder that cannot be listed, a filter driver that is missing)
// can return the very code that otherwise stands for a refusal.
enum ENTRY_MATCH
{
    ENTRY_MATCH_LISTED = 0,  // the very entry the folder lists under the name
    ENTRY_MATCH_OTHER = 1,   // another entry, or a link: refused (ERROR_CANT_ACCESS_FILE)
    ENTRY_MATCH_FAILED = 2,  // a query failed (its own system error): nothing was told
};

// Whether the entry listed under that name through the folder's own handle
// is the entry the handle leads to. Some systems follow a link even when
// asked not to: the listing then shows the name as a reparse point where the
// handle has none, or (a link swapped in and out again) as another entry
// than the one opened. A reparse point opened as itself passes: whether it
// may be passed is the caller's question (IsNameRedirectingEntry). A name
// the listing no longer has is another entry (it went or was renamed since
// the open); a folder that cannot be reopened or listed is a failed query,
// as is a name of more than one part (no separator, no wild card:
// ERROR_INVALID_NAME). These use no heap.
RV_API ENTRY_MATCH MatchListedEntry(HANDLE folder, const wchar_t* name, const tagEntryIdentity& opened,
                                   DWORD* error);
// The folder that a reparse point keeping its name in place (a cloud-file
// placeholder) stands for, opened through it. Nothing held beforehand keeps
// the name from being swapped for a link meanwhile, so the handle the open
// returns is kept only when it is the very entry the folder listed under
// that name (MatchOpenedListedEntry); null otherwise, with `match` telling
// why: another entry or a link, or a failed query with its own error. An
// open that fails is a failed query whatever its code: a placeholder whose
// filter driver is missing fails with ERROR_CANT_ACCESS_FILE.
RV_API HANDLE OpenFollowedFolder(HANDLE folder, const wchar_t* name, uint64_t listedIndex, DWORD access,
                                 ENTRY_MATCH* match, DWORD* error);
// Whether a handle opened below the folder under that one-part name is the
// entry listed there with that file id: on the folder's own volume, with
// that id, no link, and where the name leads from the folder (its final path
// is the folder's joined with the name, so the name is the one the folder
// lists in full, not a short 8.3 one). Neither a volume serial nor a file id
// is unique (whoever formats a disk writes its serial, an image can place a
// folder at any id, and some file systems reuse ids), so none of them alone
// tells. Read from the opened handle after the open, never from what was
// checked before. Uses no heap.
RV_API ENTRY_MATCH MatchOpenedListedEntry(HANDLE folder, HANDLE opened, const wchar_t* name, uint64_t listedIndex,
                                          DWORD* error);
// The handle's entry goes when its last handle closes (the handle needs
// delete access); false with the system error when it cannot.
RV_API bool MarkForDeletion(HANDLE handle);
// The same for a read-only entry too, without changing anything of the file
// (its other names keep it as it is); false with the system error where the
// system cannot (before Windows 10 1809, and under Wine 8:
// ERROR_INVALID_PARAMETER).
RV_API bool MarkForDeletionKeepingAttributes(HANDLE handle);
// Sets the opened entry's attributes (the handle needs
// FILE_WRITE_ATTRIBUTES) and nothing else: every time stays as it is, and
// what only the system sets (folder, link, compression) is left out; none
// left is "normal". False with the system error when it cannot.
RV_API bool SetEntryAttributes(HANDLE handle, DWORD attributes);

} // namespace FileSystem
} // namespace RVGameEngine
