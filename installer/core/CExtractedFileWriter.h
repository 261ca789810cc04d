#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>

// Writes the files of one extraction, replacing what is there. Built for
// thousands of files in a row: a file is created at once, and only when
// that fails for a missing folder or a read-only file is the folder chain
// made or the attribute cleared and the creation tried again. Folders made
// once are remembered. Nothing is written through a link planted in the
// folder written to (the current folder): an entry whose name, or any
// folder on its way, is a link leading elsewhere is refused and logged.
class CExtractedFileWriter
{
public:
    CExtractedFileWriter() = default;
    CExtractedFileWriter(const CExtractedFileWriter&) = delete;
    CExtractedFileWriter& operator=(const CExtractedFileWriter&) = delete;

    // False, with the system error in *error, when the file cannot be
    // created or written whole.
    bool Write(const wchar_t* name, const void* bytes, uint32_t size, DWORD* error);

    // The same in steps, for a file whose bytes come in pieces: the created
    // file (the caller closes it), or INVALID_HANDLE_VALUE with the error.
    HANDLE Open(const wchar_t* name, DWORD* error);
    static bool Append(HANDLE file, const void* bytes, uint32_t size, DWORD* error);

private:
    HANDLE Create(const std::wstring& name, DWORD* error);
    bool MakeFolderOf(const std::wstring& name);
    // Where the name belongs: under the current folder's final path.
    std::wstring ExpectedFinalPath(const std::wstring& name);
    // Whether the deepest part of the name that exists leads elsewhere.
    bool ReachesThroughLink(const std::wstring& name);

    std::wstring m_baseFinalPath;
    std::unordered_set<std::wstring> m_madeFolders;
};
