#pragma once

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderHandleFunctions.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

// Writes the files of one extraction into the folder written to (the
// current folder), replacing what is there. The installer runs with
// administrator rights in folders other users may write to, so nothing is
// done by a path that a link could redirect: the folder written to is
// opened once (and refused unless it is where its path says), every folder of an entry is reached (or made) from its
// parent's handle one name at a time, and the file is opened in its folder
// without being cut. Each existing folder and file is checked on its handle
// (no link, the very entry its folder lists under that name, and a file
// where its folder says) before anything in it changes. An entry whose way passes a link is
// refused and logged; a file with more than one name (a hard link) loses
// its name here and is made anew, so the other names keep their bytes.
// Folders checked once are remembered by handle.
class CExtractedFileWriter
{
public:
    CExtractedFileWriter() = default;
    CExtractedFileWriter(const CExtractedFileWriter&) = delete;
    CExtractedFileWriter& operator=(const CExtractedFileWriter&) = delete;

    // False, with the system error in *error, when the file cannot be
    // created or written whole.
    bool Write(const wchar_t* name, const void* bytes, uint32_t size, DWORD* error);

    // The same in steps, for a file whose bytes come in pieces: the file,
    // empty, with no read-only, hidden or system attribute (the caller
    // closes it), or INVALID_HANDLE_VALUE with the error.
    HANDLE Open(const wchar_t* name, DWORD* error);
    static bool Append(HANDLE file, const void* bytes, uint32_t size, DWORD* error);

    // What the writer leaves of an existing file's attributes: read-only,
    // hidden and system go (a replaced file is an ordinary one), the rest
    // stay; never 0, which would mean "leave them unchanged".
    static DWORD ReplacedAttributes(DWORD attributes);

private:
    struct tagFolder
    {
        RVGameEngine::Common::CScopedKernelHandle handle;
        std::wstring finalPath;
        // Made by this writer, so nothing was in it before.
        bool made = false;
        // What it held, listed once the first time a file was in the way,
        // by the names in capitals: a reinstall checks every file against it.
        bool listed = false;
        std::unordered_map<std::wstring, RVGameEngine::Common::tagListedEntry> entries;
    };
    enum enmReach
    {
        REACH_DONE,
        REACH_LINK,   // a link (or an entry not where its name says) on the way
        REACH_FAILED,
    };

    enmReach OpenBase(DWORD* error);
    // The entry's folder, reached from the folder written to.
    tagFolder* FolderOf(const std::wstring& name, enmReach* reach, DWORD* error);
    enmReach OpenFolder(const tagFolder& parent, const std::wstring& part, tagFolder* folder, DWORD* error);
    enmReach OpenFile(tagFolder* folder, const std::wstring& part, RVGameEngine::Common::CScopedKernelHandle* file,
                      DWORD* error);
    enmReach OpenExistingFile(const tagFolder& folder, const std::wstring& part,
                              const RVGameEngine::Common::tagListedEntry* listed,
                              RVGameEngine::Common::CScopedKernelHandle* file, DWORD* error);
    // The folder's entry of that name as first listed, or null.
    static const RVGameEngine::Common::tagListedEntry* ListedEntry(tagFolder* folder, const std::wstring& part);
    bool IsInPlace(const tagFolder& parent, const std::wstring& part, HANDLE handle,
                   const RVGameEngine::Common::tagEntryIdentity& identity,
                   const RVGameEngine::Common::tagListedEntry* listed, bool byFinalPath) const;

    // Checked folders by their name relative to the folder written to, which
    // is the empty name.
    std::unordered_map<std::wstring, tagFolder> m_folders;
};
