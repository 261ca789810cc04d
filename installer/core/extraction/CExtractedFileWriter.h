#pragma once

#include "engine/filesystem/CCheckedFileWriter.h"

#include <windows.h>

#include <cstdint>

// Writes the files of one extraction into the folder written to, replacing
// what is there, through the engine's checked writer (no link followed, no
// file changed before it is checked on its handle). The folder written to
// is the current folder, written below the handle it was made with when it
// is the one set for the process (the install or the temporary folder),
// else reached from its root one checked name at a time. A name whose way passes a link
// is refused and logged.
class CExtractedFileWriter
{
public:
    CExtractedFileWriter();
    CExtractedFileWriter(const CExtractedFileWriter&) = delete;
    CExtractedFileWriter& operator=(const CExtractedFileWriter&) = delete;

    // The folder every later writer writes to (a handle of its own is kept);
    // null goes back to the current folder.
    static void SetTargetFolder(HANDLE folder);

    // False, with the system error in *error, when the file cannot be
    // created or written whole.
    bool Write(const wchar_t* name, const void* bytes, uint32_t size, DWORD* error);

    // The same in steps, for a file whose bytes come in pieces: the file,
    // empty, with no read-only, hidden or system attribute (the caller
    // closes it), or INVALID_HANDLE_VALUE with the error; its bytes go in
    // with CCheckedFileWriter::Append.
    HANDLE Open(const wchar_t* name, DWORD* error);

private:
    RVGameEngine::FileSystem::CCheckedFileWriter m_writer;
};
