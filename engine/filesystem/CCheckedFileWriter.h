#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/FolderHandleFunctions.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace RVGameEngine {
namespace FileSystem {

// What the writer does with a file already at the name.
enum FILE_EXISTING
{
    FILE_EXISTING_REPLACED = 0,  // checked on its handle, then cut and rewritten
    FILE_EXISTING_REFUSED = 1,   // fails with ERROR_ALREADY_EXISTS: only new files are made
};

// Writes files below one folder, the base, with administrator rights in
// folders other users may write to, so nothing is done by a path that a link
// could redirect: the base is a checked handle, every folder of a name is
// reached (or made) from its parent's handle one name at a time, a new file
// is made with FILE_CREATE, and an existing one is opened in its folder
// without being cut. Each existing folder and file is checked on its handle
// (no link, the very entry its folder lists under that name, and a file
// where its folder says) before anything in it changes. A name whose way
// passes a link is refused; a file with more than one name (a hard link),
// or a reparse point that keeps names in place (a placeholder, a
// deduplicated file), loses its name here and is made anew, so the other
// names keep their bytes. Folders checked once are remembered by handle.
// It logs nothing: the log itself is written through it.
class RV_API CCheckedFileWriter
{
public:
    explicit CCheckedFileWriter(FILE_EXISTING existing = FILE_EXISTING_REPLACED) : m_existing(existing) {}
    CCheckedFileWriter(const CCheckedFileWriter&) = delete;
    CCheckedFileWriter& operator=(const CCheckedFileWriter&) = delete;

    // The folder written to, kept by a handle of its own; without one, the
    // current folder, walked from its root when the first file is opened.
    bool SetBase(HANDLE folder);

    // The file of a relative name ("/" or "\" between its parts), open for
    // writing, empty, with no read-only, hidden or system attribute (the
    // caller closes it), or INVALID_HANDLE_VALUE with how far it was reached
    // and the system error (ERROR_CANT_ACCESS_FILE on a link; a query about
    // an entry that fails gives its own).
    HANDLE Open(const std::wstring& name, CHECKED_REACH* reach, DWORD* error);
    // Open, then all the bytes.
    bool Write(const std::wstring& name, const void* bytes, uint32_t size, CHECKED_REACH* reach, DWORD* error);
    static bool Append(HANDLE file, const void* bytes, uint32_t size, DWORD* error);
    // Whether the last file opened replaced an entry that had to lose its
    // name first (other names, or a placeholder).
    bool WasMadeAnew() const { return m_madeAnew; }

    // What the writer leaves of an existing file's attributes: read-only,
    // hidden and system go (a replaced file is an ordinary one), the rest
    // stay; never 0, which would mean "leave them unchanged".
    static DWORD ReplacedAttributes(DWORD attributes);

private:
    struct tagFolder
    {
        Common::CScopedKernelHandle handle;
        std::wstring finalPath;
        // Made by this writer, so nothing was in it before.
        bool made = false;
        // What it held, listed once the first time a file was in the way,
        // by the names in capitals: a reinstall checks every file against it.
        bool listed = false;
        std::unordered_map<std::wstring, tagListedEntry> entries;
    };

    CHECKED_REACH OpenBase(DWORD* error);
    // The name's folder, reached from the base.
    tagFolder* FolderOf(const std::wstring& name, CHECKED_REACH* reach, DWORD* error);
    CHECKED_REACH OpenFile(tagFolder* folder, const std::wstring& part, Common::CScopedKernelHandle* file,
                           DWORD* error);
    CHECKED_REACH OpenExistingFile(const tagFolder& folder, const std::wstring& part, const tagListedEntry* listed,
                                   Common::CScopedKernelHandle* file, DWORD* error);
    // The folder's entry of that name as first listed, or null.
    static const tagListedEntry* ListedEntry(tagFolder* folder, const std::wstring& part);
    // Done when the entry is no link and is the one its folder lists under
    // that name, where its folder is; a link or another entry is refused, and
    // a query that fails stops it with that query's own error.
    static CHECKED_REACH CheckInPlace(const tagFolder& parent, const std::wstring& part, HANDLE handle,
                                      const tagEntryIdentity& identity, const tagListedEntry* listed, DWORD* error);

    FILE_EXISTING m_existing;
    bool m_madeAnew = false;
    Common::CScopedKernelHandle m_base;
    // Checked folders by their name relative to the base, which is the empty name.
    std::unordered_map<std::wstring, tagFolder> m_folders;
};

} // namespace FileSystem
} // namespace RVGameEngine
